#include "menubar/PopoverFooter.h"
#include "menubar/PopoverView.h"

#include "MenuTestSupport.h"
#include "menubar/PopupPanel.h"

#include <QLabel>
#include <QLayout>
#include <QToolButton>
#include <map>
#include <memory>

namespace halvrick::menutest {
namespace {

using Command = MenuRow::Command;

TEST(MoreMenuRowsTest, TheMenuInOrderWithAndWithoutDebug) {
    const std::vector<std::string> plain{
        "Roast card…",        "History & Trends…", "Vitals…", "Cool down (1 min)", "Zurez Erazuri", "—",
        "Check for Updates…", "Settings…",         "—",       "Quit Halvrick",
    };
    EXPECT_EQ(titles(moreMenuRows({}, false, true)), plain);
    // Without an update source there is nothing to check.
    std::vector<std::string> noUpdates = plain;
    std::erase(noUpdates, "Check for Updates…");
    EXPECT_EQ(titles(moreMenuRows({}, false, false)), noUpdates);

    std::vector<std::string> withDebug = plain;
    std::vector<std::string> debug{"Debug"};
    for (const std::string& title : titles(DebugMenuItems::rows({}, DebugMenuItems::Host::popover))) {
        debug.push_back("  " + title);
    }
    debug.insert(debug.end(), {"  —", "  Wrapped with sample data", "  Artwork Lab"});
    withDebug.insert(withDebug.begin() + 8, debug.begin(), debug.end());
    EXPECT_EQ(titles(moreMenuRows({}, true, true)), withDebug);
}

TEST(MoreMenuRowsTest, CoolDownGreyedOnlyWhileRestingOrCoolingDown) {
    for (const RestPhase phase : allRestPhases) {
        for (const bool coolDown : {false, true}) {
            MenuSnapshot snapshot;
            snapshot.restPhase = phase;
            snapshot.coolDown = coolDown;
            EXPECT_EQ(row(moreMenuRows(snapshot, false, true), "Cool down (1 min)").enabled,
                      phase != RestPhase::resting && !coolDown)
                << toString(phase) << (coolDown ? " with a cool-down" : "");
        }
    }
}

class PopoverFooterTest : public MenuTest {
protected:
    void makeFooter(bool showsDebug) {
        PopoverActions actions;
        actions.openSettings = [this] { ++opened["settings"]; };
        actions.openWrapped = [this] { ++opened["wrapped"]; };
        actions.openSampleWrapped = [this] { ++opened["sample wrapped"]; };
        actions.openArtworkLab = [this] { ++opened["artwork lab"]; };
        actions.openHistory = [this] { ++opened["history"]; };
        actions.openVitals = [this] { ++opened["vitals"]; };
        actions.openRoast = [this] { ++opened["roast"]; };
        footer = std::make_unique<PopoverFooter>(*model, std::move(actions), showsDebug);
        // Shown offscreen: the footer follows the model only while its window is shown.
        footer->setAttribute(Qt::WA_DontShowOnScreen);
        footer->show();
    }

    // The own process used `share` of the whole machine over a two-second sample.
    void ownShare(double share) {
        ProcessSampler::Sample sample = fakes::processSample(world.now, 2, {});
        sample.ownCPUSeconds = share * 2 * world.coreCount;
        model->ingestProcesses(sample);
    }

    std::unique_ptr<PopoverFooter> footer;
    std::map<std::string, int> opened;
};

TEST_F(PopoverFooterTest, TheOwnShareInThePeasVoice) {
    makeFooter(false);
    EXPECT_EQ(footer->ownShareLabel().text(), QStringLiteral("Me: 0.0%. I'm not the problem."));
    const std::pair<double, const char*> cases[] = {
        {0.031, "Me: 3.1%. I'm not the problem."},
        {0.25, "Me: 25%. I'm not the problem."},
    };
    for (const auto& [share, text] : cases) {
        ownShare(share);
        QCoreApplication::processEvents();
        EXPECT_EQ(footer->ownShareLabel().text().toStdString(), text);
    }
}

TEST_F(PopoverFooterTest, TheDebugSubmenuFollowsSettingsWhenUnlocked) {
    makeFooter(false);
    EXPECT_EQ(footer->moreMenu().action(Command::debugMenu), nullptr);
    EXPECT_EQ(footer->moreMenu().action(Command::seedSampleWeek), nullptr);

    model->popoverWillOpen(true);
    QCoreApplication::processEvents();
    QAction* debug = footer->moreMenu().action(Command::debugMenu);
    ASSERT_NE(debug, nullptr);
    const QList<QAction*> items = footer->moreMenu().actions();
    EXPECT_EQ(items.indexOf(debug), items.indexOf(footer->moreMenu().action(Command::settings)) + 1);

    model->popoverWillOpen(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(footer->moreMenu().action(Command::debugMenu), nullptr);

    makeFooter(true);
    EXPECT_NE(footer->moreMenu().action(Command::debugMenu), nullptr) << "shown whatever the model says";
}

TEST_F(PopoverFooterTest, ButtonsAndItemsReachTheirActions) {
    makeFooter(true);
    EXPECT_EQ(footer->settingsButton().toolTip(), QStringLiteral("Settings…"));
    EXPECT_EQ(footer->moreButton().accessibleName(), QStringLiteral("More"));
    EXPECT_EQ(footer->settingsButton().size(), QSize(28, 28));
    footer->settingsButton().click();
    EXPECT_EQ(opened, (std::map<std::string, int>{{"settings", 1}}));

    const std::pair<Command, const char*> cases[] = {
        {Command::roast, "roast"},
        {Command::history, "history"},
        {Command::vitals, "vitals"},
        {Command::wrapped, "wrapped"},
        {Command::settings, "settings"},
        {Command::sampleWrapped, "sample wrapped"},
        {Command::artworkLab, "artwork lab"},
    };
    for (const auto& [command, name] : cases) {
        opened.clear();
        footer->moreMenu().action(command)->trigger();
        EXPECT_EQ(opened, (std::map<std::string, int>{{name, 1}})) << name;
    }

    opened.clear();
    QAction* coolDown = footer->moreMenu().action(Command::coolDown);
    coolDown->trigger();
    EXPECT_TRUE(model->coolDown());
    EXPECT_TRUE(opened.empty()) << "the popover is already open";
    EXPECT_FALSE(coolDown->isEnabled());

    footer->moreMenu().action(Command::oneMinuteInterval)->trigger();
    EXPECT_EQ(model->debugRestInterval(), 60.0);
    EXPECT_TRUE(footer->moreMenu().action(Command::oneMinuteInterval)->isChecked());

    footer->moreMenu().action(Command::pretendSamplerBroken)->trigger();
    EXPECT_TRUE(model->samplingFailed());
    EXPECT_TRUE(footer->moreMenu().action(Command::pretendSamplerBroken)->isChecked());
}

TEST_F(PopoverFooterTest, RendersInThePopoversWidth) {
    makeFooter(true);
    ownShare(0.031);
    model->blame().setIgnoredNames({{"/x.desktop", "X"}});

    PopupPanel panel(false);
    auto* shown = new PopoverFooter(*model, PopoverActions{}, false);
    shown->setFixedWidth(PopoverView::width);
    panel.setContent(shown);
    panel.setAttribute(Qt::WA_DontShowOnScreen);
    panel.show();
    panel.layout()->activate();
    panel.adjustSize();
    QImage image(panel.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    panel.render(&image);
    image.save(QCoreApplication::applicationDirPath() + "/menus-footer.png");
    EXPECT_EQ(shown->height(), 28 + 16) << "the buttons and the footer's own margins";

    renderMenu(footer->moreMenu(), QStringLiteral("menus-more.png"));
    QAction* debug = footer->moreMenu().action(Command::debugMenu);
    ASSERT_NE(debug, nullptr);
    renderMenu(*debug->menu(), QStringLiteral("menus-more-debug.png"));
}

} // namespace
} // namespace halvrick::menutest
