#include "menubar/StatusMenu.h"

#include "MenuTestSupport.h"

#include <QPointer>
#include <QTest>
#include <QUrl>
#include <map>
#include <memory>

namespace halvrick::menutest {
namespace {

using Command = MenuRow::Command;

TEST(StatusMenuRowsTest, TheMenuInOrderWithAndWithoutDebug) {
    const std::vector<std::string> plain{
        "Open Halvrick",
        "Roast card…",
        "History & Trends…",
        "Vitals…",
        "Cool down (1 min)",
        "Check for Updates…",
        "—",
        "Zurez Erazuri",
        "Settings…",
        "—",
        "About Halvrick",
        "—",
        "Quit Halvrick",
    };
    EXPECT_EQ(titles(statusMenuRows({}, false, false, true)), plain);
    // Without an update source there is nothing to check.
    std::vector<std::string> noUpdates = plain;
    std::erase(noUpdates, "Check for Updates…");
    EXPECT_EQ(titles(statusMenuRows({}, false, false, false)), noUpdates);

    const std::vector<MenuRow> withDebug = statusMenuRows({}, true, false, true);
    ASSERT_GE(withDebug.size(), 2U);
    EXPECT_EQ(withDebug[0].title, "Debug");
    EXPECT_EQ(withDebug[0].submenu, DebugMenuItems::rows({}, DebugMenuItems::Host::statusItem));
    EXPECT_EQ(withDebug[1].command, Command::separator);
    EXPECT_EQ(std::vector<MenuRow>(withDebug.begin() + 2, withDebug.end()), statusMenuRows({}, false, false, true));

    // A build with a help page offers it after the about box.
    const std::vector<MenuRow> withHelp = statusMenuRows({}, false, true, true);
    std::vector<std::string> helped = plain;
    helped.insert(std::find(helped.begin(), helped.end(), "About Halvrick") + 1, "Halvrick Help");
    EXPECT_EQ(titles(withHelp), helped);
}

TEST(StatusMenuRowsTest, CoolDownOnlyWhenNoBreakAndNoCoolDownRuns) {
    for (const RestPhase phase : allRestPhases) {
        for (const bool coolDown : {false, true}) {
            MenuSnapshot snapshot;
            snapshot.restPhase = phase;
            snapshot.coolDown = coolDown;
            const bool expected = phase != RestPhase::resting && !coolDown;
            EXPECT_EQ(row(statusMenuRows(snapshot, false, false, true), "Cool down (1 min)").enabled, expected)
                << toString(phase) << (coolDown ? " with a cool-down" : "");
        }
    }
}

TEST(StatusMenuRowsTest, WebPagesOnly) {
    struct Case {
        const char* address;
        bool opens;
    };
    const Case cases[] = {
        {"", false},
        {"not an address", false},
        {"https://", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"/usr/bin/xterm", false},
        {"https://halvrick.example/help", true},
        {"http://halvrick.example/help#start", true},
    };
    for (const Case& c : cases) {
        std::vector<QUrl> opened;
        EXPECT_EQ(StatusMenu::openWebPage(c.address, [&](const QUrl& url) { opened.push_back(url); }),
                  c.opens)
            << c.address;
        EXPECT_EQ(opened.size(), c.opens ? 1U : 0U) << c.address;
    }
    EXPECT_EQ(StatusMenu::helpPage(), "") << "this build names no help page";
}

class StatusMenuTest : public MenuTest {
protected:
    void makeMenu() {
        StatusMenu::Actions actions;
        actions.windows.openRoast = [this] { ++opened["roast"]; };
        actions.windows.openHistory = [this] { ++opened["history"]; };
        actions.windows.openVitals = [this] { ++opened["vitals"]; };
        actions.windows.openWrapped = [this] { ++opened["wrapped"]; };
        actions.windows.openSampleWrapped = [this] { ++opened["sample wrapped"]; };
        actions.windows.openArtworkLab = [this] { ++opened["artwork lab"]; };
        actions.windows.openSettings = [this] { ++opened["settings"]; };
        actions.showPopover = [this] {
            ++opened["popover"];
            if (showPopover) {
                showPopover();
            }
        };
        actions.about = [this] { ++opened["about"]; };
        actions.help = [this] { ++opened["help"]; };
        actions.quit = [this] { ++opened["quit"]; };
        menu = std::make_unique<StatusMenu>(*model, std::move(actions),
                                            [this] { return debugEnvironment || model->debugUnlocked(); });
    }

    std::unique_ptr<StatusMenu> menu;
    std::map<std::string, int> opened;
    std::function<void()> showPopover;
};

TEST_F(StatusMenuTest, ItemsReachTheirActions) {
    makeMenu();
    const std::pair<Command, const char*> cases[] = {
        {Command::openPopover, "popover"}, {Command::roast, "roast"},     {Command::history, "history"},
        {Command::vitals, "vitals"},       {Command::wrapped, "wrapped"}, {Command::settings, "settings"},
        {Command::about, "about"},         {Command::quit, "quit"},
    };
    for (const auto& [command, name] : cases) {
        opened.clear();
        ASSERT_NE(menu->action(command), nullptr) << name;
        menu->action(command)->trigger();
        EXPECT_EQ(opened, (std::map<std::string, int>{{name, 1}})) << name;
    }

    opened.clear();
    menu->action(Command::coolDown)->trigger();
    EXPECT_TRUE(model->coolDown());
    EXPECT_EQ(opened, (std::map<std::string, int>{{"popover", 1}})) << "the cool-down shows in the popover";
    EXPECT_FALSE(menu->action(Command::coolDown)->isEnabled());
}

TEST_F(StatusMenuTest, TheDebugSubmenuExistsOnlyWhileUnlocked) {
    makeMenu();
    EXPECT_EQ(menu->action(Command::debugMenu), nullptr);
    EXPECT_EQ(menu->action(Command::seedSampleWeek), nullptr) << "nothing can seed the real ledger";
    EXPECT_EQ(menu->actions().front(), menu->action(Command::openPopover));

    model->popoverWillOpen(true);
    ASSERT_NE(menu->action(Command::debugMenu), nullptr);
    EXPECT_EQ(menu->actions().front(), menu->action(Command::debugMenu));
    EXPECT_TRUE(menu->actions()[1]->isSeparator());

    model->popoverWillOpen(false);
    EXPECT_EQ(menu->action(Command::debugMenu), nullptr);

    debugEnvironment = true;
    menu->refresh();
    EXPECT_NE(menu->action(Command::seedSampleWeek), nullptr);
}

TEST_F(StatusMenuTest, WindowsTheHostDoesNotHaveAreNotOffered) {
    debugEnvironment = true;
    StatusMenu::Actions actions;
    actions.windows.openHistory = [this] { ++opened["history"]; };
    actions.showPopover = [this] { ++opened["popover"]; };
    menu = std::make_unique<StatusMenu>(*model, std::move(actions), [this] { return debugEnvironment; });
    for (const Command missing : {Command::roast, Command::vitals, Command::wrapped, Command::settings,
                                  Command::sampleWrapped, Command::artworkLab}) {
        EXPECT_EQ(menu->action(missing), nullptr) << static_cast<int>(missing);
    }
    for (const Command kept : {Command::history, Command::openPopover, Command::coolDown, Command::quit,
                               Command::seedSampleWeek}) {
        EXPECT_NE(menu->action(kept), nullptr) << static_cast<int>(kept);
    }
}

TEST_F(StatusMenuTest, AnOpenMenuFollowsTheModelInPlace) {
    debugEnvironment = true;
    makeMenu();
    menu->popup(QPoint(100, 100));
    ASSERT_TRUE(menu->isVisible());
    QAction* coolDown = menu->action(Command::coolDown);
    QAction* automatic = menu->action(Command::clearForcedState);
    QAction* meltdown = menu->action(Command::forceState, HeatState::meltdown);
    QAction* clearChallenge = menu->action(Command::clearChallenge);
    QAction* clearIgnored = menu->action(Command::clearIgnoredApps);
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(clearChallenge->isEnabled());
    EXPECT_FALSE(clearIgnored->isEnabled());

    model->startCoolDown();
    model->setForcedState(HeatState::meltdown);
    model->startChallenge(ChallengeKind::coolHead, world.now);
    model->blame().setIgnoredNames({{"/x.desktop", "X"}});

    EXPECT_EQ(menu->action(Command::coolDown), coolDown) << "the same items, updated";
    EXPECT_EQ(menu->action(Command::clearIgnoredApps), clearIgnored);
    EXPECT_FALSE(coolDown->isEnabled());
    EXPECT_TRUE(meltdown->isChecked());
    EXPECT_FALSE(automatic->isChecked());
    EXPECT_TRUE(clearChallenge->isEnabled());
    EXPECT_TRUE(clearIgnored->isEnabled());
    menu->hide();
}

TEST_F(StatusMenuTest, ChoosingFromTheDebugSubmenu) {
    debugEnvironment = true;
    makeMenu();
    menu->action(Command::forceState, HeatState::sweating)->trigger();
    EXPECT_EQ(model->forcedState(), HeatState::sweating);
    EXPECT_TRUE(menu->action(Command::forceState, HeatState::sweating)->isChecked());
    menu->action(Command::clearForcedState)->trigger();
    EXPECT_EQ(model->forcedState(), std::nullopt);
    EXPECT_TRUE(menu->action(Command::clearForcedState)->isChecked());

    QAction* interval = menu->action(Command::oneMinuteInterval);
    interval->trigger();
    EXPECT_EQ(model->debugRestInterval(), 60.0);
    EXPECT_TRUE(interval->isChecked());

    menu->action(Command::sampleWrapped)->trigger();
    menu->action(Command::artworkLab)->trigger();
    menu->action(Command::seedNearWinChallenge)->trigger();
    EXPECT_TRUE(model->activeChallenge());
    EXPECT_EQ(opened,
              (std::map<std::string, int>{{"sample wrapped", 1}, {"artwork lab", 1}, {"popover", 1}}));
}

TEST_F(StatusMenuTest, AnItemThatLocksTheDebugSubmenuSurvivesItsOwnClick) {
    makeMenu();
    model->popoverWillOpen(true);
    // Opening the popover without Alt locks the debug items again while the seeder's click is delivered.
    showPopover = [this] { model->popoverWillOpen(false); };
    QPointer<QAction> seed = menu->action(Command::seedFailedChallenge);
    ASSERT_TRUE(seed);
    seed->trigger();
    EXPECT_EQ(opened["popover"], 1);
    EXPECT_EQ(menu->action(Command::debugMenu), nullptr);
    EXPECT_TRUE(seed) << "still alive while its click unwinds";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(seed) << "and gone afterwards";
}

// A key typed at an open tray menu never reaches its items (and a tray host that draws the menu itself
// never passes it on): a shortcut shown there would promise what it does not do.
TEST_F(StatusMenuTest, EveryShortcutTheOpenMenuShowsWorksThere) {
    makeMenu();
    menu->popup(QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
    for (QAction* action : menu->actions()) {
        if (action->shortcut().isEmpty() || !menu->isVisible()) {
            continue;
        }
        opened.clear();
        const QKeyCombination key = action->shortcut()[0];
        QTest::keyClick(menu.get(), key.key(), key.keyboardModifiers());
        EXPECT_FALSE(opened.empty()) << action->text().toStdString() << " shows "
                                     << action->shortcut().toString().toStdString();
        if (!menu->isVisible()) {
            menu->popup(QPoint(20, 20));
        }
    }
    menu->hide();
}

TEST_F(StatusMenuTest, RendersAsAMenu) {
    debugEnvironment = true;
    makeMenu();
    model->blame().setIgnoredNames({{"/x.desktop", "X"}});
    const QImage image = renderMenu(*menu, QStringLiteral("menus-status.png"));
    EXPECT_GT(image.height(), image.width() / 2);
    QAction* debug = menu->action(Command::debugMenu);
    ASSERT_NE(debug, nullptr);
    const QImage submenu = renderMenu(*debug->menu(), QStringLiteral("menus-status-debug.png"));
    EXPECT_FALSE(submenu.isNull());
}

} // namespace
} // namespace halvrick::menutest
