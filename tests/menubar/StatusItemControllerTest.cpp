#include "ShellTestSupport.h"

#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"

#include <QCoreApplication>
#include <QStringList>

namespace halvrick::shelltest {
namespace {

using namespace std::chrono_literals;

QAction* actionNamed(QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
        if (action->menu()) {
            if (QAction* inner = actionNamed(*action->menu(), text)) {
                return inner;
            }
        }
    }
    return nullptr;
}

using StatusItemControllerTest = ShellTest;

TEST_F(StatusItemControllerTest, ClickRouting) {
    makeController();
    struct Case {
        const char* name;
        TrayPresence::Click click;
        Qt::KeyboardModifiers keys;
        bool openBefore;
        bool openAfter;
        bool menuShown;
        bool debugUnlocked;
    };
    const Case cases[] = {
        {"left click opens", TrayPresence::Click::trigger, Qt::NoModifier, false, true, false, false},
        {"left click closes", TrayPresence::Click::trigger, Qt::NoModifier, true, false, false, false},
        {"ctrl click pops the menu", TrayPresence::Click::trigger, Qt::ControlModifier, false, false, true, false},
        {"ctrl alt click adds debug", TrayPresence::Click::trigger, Qt::ControlModifier | Qt::AltModifier, false,
         false, true, true},
        {"alt click unlocks debug", TrayPresence::Click::trigger, Qt::AltModifier, false, true, false, true},
        {"the tray shows its own context menu", TrayPresence::Click::context, Qt::NoModifier, false, false, false,
         false},
    };
    // In this order: the model keeps debugUnlocked from the last Alt-click open.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        controller->closePopover();
        if (c.openBefore) {
            controller->showPopover(false);
        }
        wait(1s);
        heldKeys = c.keys;
        controller->handleClick(c.click, c.keys);
        EXPECT_EQ(controller->isPopoverShown(), c.openAfter);
        EXPECT_EQ(controller->statusMenu().isVisible(), c.menuShown);
        if (c.openAfter || c.menuShown) {
            EXPECT_EQ(controller->debugUnlocked(), c.debugUnlocked);
        }
        if (c.openAfter) {
            EXPECT_EQ(model->debugUnlocked(), c.debugUnlocked);
            EXPECT_TRUE(model->isPopoverOpen());
        }
        controller->statusMenu().hide();
    }
}

TEST_F(StatusItemControllerTest, TheClickThatClosedThePopoverDoesNotReopenIt) {
    makeController();
    click();
    ASSERT_TRUE(controller->isPopoverShown());
    // A click outside closes the popup on the press; the tray reports the same click just after.
    controller->popoverPanel().hide();
    EXPECT_FALSE(model->isPopoverOpen());
    wait(100ms);
    click();
    EXPECT_FALSE(controller->isPopoverShown());
    wait(StatusItemController::reopenGuard);
    click();
    EXPECT_TRUE(controller->isPopoverShown());
}

TEST_F(StatusItemControllerTest, MenuFollowsTheModel) {
    makeController();
    ASSERT_EQ(tray->menu, &controller->statusMenu());
    QMenu& menu = controller->statusMenu();
    QAction* debug = actionNamed(menu, QStringLiteral("Debug"));
    ASSERT_NE(debug, nullptr);
    EXPECT_FALSE(debug->isVisible());

    click(Qt::AltModifier);
    EXPECT_TRUE(debug->isVisible());
    controller->closePopover();
    wait(1s);
    click();
    EXPECT_FALSE(debug->isVisible()) << "a plain click locks the debug items again";

    QAction* automatic = actionNamed(menu, QStringLiteral("Automatic (real load)"));
    QAction* meltdown = actionNamed(menu, QStringLiteral("Force Meltdown"));
    EXPECT_TRUE(automatic->isChecked());
    meltdown->trigger();
    EXPECT_EQ(model->forcedState(), HeatState::meltdown);
    EXPECT_TRUE(meltdown->isChecked());
    EXPECT_FALSE(automatic->isChecked());
    model->setForcedState(std::nullopt);
    EXPECT_TRUE(automatic->isChecked());
    EXPECT_FALSE(meltdown->isChecked());

    QAction* clearIgnored = actionNamed(menu, QStringLiteral("Clear ignored apps"));
    EXPECT_FALSE(clearIgnored->isEnabled());
    model->setIgnoredNames({{"/x.desktop", "X"}});
    EXPECT_TRUE(clearIgnored->isEnabled());
    clearIgnored->trigger();
    EXPECT_TRUE(model->ignoredNames().empty());

    actionNamed(menu, QStringLiteral("History & Trends…"))->trigger();
    actionNamed(menu, QStringLiteral("Vitals…"))->trigger();
    actionNamed(menu, QStringLiteral("Settings…"))->trigger();
    EXPECT_EQ(historyShown, 1);
    EXPECT_EQ(vitalsShown, 1);
    EXPECT_EQ(settingsShown, 1);
}

TEST_F(StatusItemControllerTest, DebugEnvironmentAlwaysOffersTheDebugItems) {
    debugEnvironment = true;
    makeController();
    EXPECT_TRUE(actionNamed(controller->statusMenu(), QStringLiteral("Debug"))->isVisible());
    click();
    EXPECT_TRUE(model->debugUnlocked());
}

TEST_F(StatusItemControllerTest, IconFollowsTheMenuFaceAndTheFigure) {
    makeController();
    QCoreApplication::processEvents();
    EXPECT_EQ(controller->animator().frames().size(), 1U);
    EXPECT_FALSE(frameTimer->isActive());
    EXPECT_EQ(tray->toolTip, QStringLiteral("Halvrick: Chill"));
    EXPECT_GE(tray->iconsSet, 1);

    model->setForcedState(HeatState::meltdown);
    EXPECT_GT(controller->animator().frames().size(), 1U);
    EXPECT_TRUE(frameTimer->isActive());
    EXPECT_EQ(tray->toolTip, QStringLiteral("Halvrick: Meltdown"));

    // The display setting takes effect after the event loop's hop.
    settings->setMenuBarDisplay(MenuBarDisplay::cpu);
    EXPECT_TRUE(frameTimer->isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(controller->animator().frames().size(), 1U);
    EXPECT_FALSE(frameTimer->isActive());
    EXPECT_TRUE(tray->toolTip.startsWith(QStringLiteral("Halvrick: Meltdown, CPU ")));
}

TEST_F(StatusItemControllerTest, ActionsCloseThePopoverFirst) {
    makeController();
    click();
    controller->popoverView().vitalsLink().click();
    EXPECT_FALSE(controller->isPopoverShown());
    EXPECT_EQ(vitalsShown, 1);
}

TEST_F(StatusItemControllerTest, RestingClosesThePopover) {
    makeController();
    click();
    controller->restPhaseChanged(RestPhase::resting);
    EXPECT_FALSE(controller->isPopoverShown());
}

TEST_F(StatusItemControllerTest, WithoutATrayThePopoverOpensAsAWindow) {
    makeController(false);
    EXPECT_FALSE(controller->hasTray());
    EXPECT_TRUE(controller->isPopoverShown());
    EXPECT_FALSE(controller->popoverPanel().windowFlags().testFlag(Qt::Popup));
}

} // namespace
} // namespace halvrick::shelltest
