#include "ShellTestSupport.h"

#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"
#include "pea/AnimatedPeaView.h"
#include "pea/CursorPeaView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

namespace halvrick::shelltest {
namespace {

using namespace std::chrono_literals;

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
    StatusMenu& menu = controller->statusMenu();
    ASSERT_EQ(tray->menu, &menu);
    EXPECT_EQ(menu.action(MenuRow::Command::debugMenu), nullptr);

    click(Qt::AltModifier);
    EXPECT_NE(menu.action(MenuRow::Command::debugMenu), nullptr);
    // The tray host shows the menu on a right click: each follows the Alt of its own click.
    heldKeys = Qt::NoModifier;
    emit menu.aboutToShow();
    EXPECT_EQ(menu.action(MenuRow::Command::debugMenu), nullptr) << "a plain right click after an Alt click";
    heldKeys = Qt::AltModifier;
    emit menu.aboutToShow();
    EXPECT_NE(menu.action(MenuRow::Command::debugMenu), nullptr);
    // The debug windows of this build.
    menu.action(MenuRow::Command::sampleWrapped)->trigger();
    menu.action(MenuRow::Command::artworkLab)->trigger();
    EXPECT_EQ(sampleWrappedShown, 1);
    EXPECT_EQ(artworkLabShown, 1);
    heldKeys = Qt::NoModifier;
    emit menu.aboutToShow();
    EXPECT_EQ(menu.action(MenuRow::Command::debugMenu), nullptr);
    controller->closePopover();
    wait(1s);
    click();
    EXPECT_EQ(menu.action(MenuRow::Command::debugMenu), nullptr) << "a plain click locks the debug items again";
    // Ctrl+Alt+click pops it with the Debug items, a later plain Ctrl+click without.
    controller->closePopover();
    click(Qt::ControlModifier | Qt::AltModifier);
    EXPECT_NE(menu.action(MenuRow::Command::debugMenu), nullptr);
    menu.hide();
    click(Qt::ControlModifier);
    EXPECT_EQ(menu.action(MenuRow::Command::debugMenu), nullptr);
    menu.hide();
    wait(1s);
    click();

    // The windows this build has, each opened with the popover out of the way.
    EXPECT_TRUE(controller->isPopoverShown());
    menu.action(MenuRow::Command::history)->trigger();
    EXPECT_FALSE(controller->isPopoverShown());
    menu.action(MenuRow::Command::vitals)->trigger();
    menu.action(MenuRow::Command::settings)->trigger();
    EXPECT_EQ(historyShown, 1);
    EXPECT_EQ(vitalsShown, 1);
    EXPECT_EQ(settingsShown, 1);
    menu.action(MenuRow::Command::roast)->trigger();
    menu.action(MenuRow::Command::wrapped)->trigger();
    EXPECT_EQ(roastShown, 1);
    EXPECT_EQ(wrappedShown, 1);

    menu.action(MenuRow::Command::openPopover)->trigger();
    EXPECT_TRUE(controller->isPopoverShown());
}

// Over a whole warm loop with a new load every second that rounds to the same figure, the tray hears of
// the frames that differ and nothing else; a new figure is one redrawn frame.
TEST_F(StatusItemControllerTest, TheTrayIsToldOfAFrameOnlyWhenWhatItShowsChanges) {
    settings->setMenuBarDisplay(MenuBarDisplay::faceAndCPU);
    makeController();
    model->setForcedState(HeatState::warm);
    model->ingestLoad(48.2, world.now);
    QCoreApplication::processEvents();
    const std::vector<QIcon>& frames = controller->animator().frames();
    ASSERT_EQ(frames.size(), 48U);
    const int before = tray->iconsSet;
    const std::vector<double> loads{47.6, 48.4, 47.9, 48.1};
    std::size_t advanced = 0;
    std::size_t second = 0;
    for (std::size_t wakes = 0; advanced < frames.size(); ++wakes) {
        ASSERT_TRUE(frameTimer->isActive());
        ASSERT_LT(wakes, frames.size());
        advanced +=
            static_cast<std::size_t>(std::lround(frameTimer->interval / TrayIconAnimator::frameInterval));
        frameTimer->fire();
        for (; second < advanced / 8; ++second) {
            world.advance(1);
            model->ingestLoad(loads[second % loads.size()], world.now);
            QCoreApplication::processEvents();
        }
    }
    // The ticks gone by that show another icon than the tick before.
    int changes = 0;
    for (std::size_t t = 1; t <= advanced; ++t) {
        changes += frames[t % frames.size()].cacheKey() != frames[(t - 1) % frames.size()].cacheKey() ? 1 : 0;
    }
    EXPECT_EQ(tray->iconsSet - before, changes);

    const int beforeFigure = tray->iconsSet;
    model->ingestLoad(63, world.now);
    QCoreApplication::processEvents();
    EXPECT_EQ(tray->iconsSet - beforeFigure, 1);
}

TEST_F(StatusItemControllerTest, DebugEnvironmentAlwaysOffersTheDebugItems) {
    debugEnvironment = true;
    makeController();
    EXPECT_NE(controller->statusMenu().action(MenuRow::Command::debugMenu), nullptr);
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

TEST_F(StatusItemControllerTest, ClosingThePopoverTellsTheModel) {
    makeController();
    click();
    ASSERT_TRUE(model->isPopoverOpen());
    controller->closePopover();
    EXPECT_FALSE(model->isPopoverOpen());
}

TEST_F(StatusItemControllerTest, WithoutATrayThePopoverOpensAsAWindow) {
    makeController(false);
    EXPECT_FALSE(controller->hasTray());
    EXPECT_TRUE(controller->isPopoverShown());
    EXPECT_FALSE(controller->popoverPanel().windowFlags().testFlag(Qt::Popup));

    // Nobody sees a tray icon, so its loop never wakes the program, hot or with a figure.
    model->setForcedState(HeatState::meltdown);
    settings->setMenuBarDisplay(MenuBarDisplay::faceAndCPU);
    QCoreApplication::processEvents();
    controller->updateCPUTitle();
    EXPECT_FALSE(frameTimer->isActive());
    EXPECT_TRUE(controller->animator().frames().empty());
}

// The window stays open all day: its pea moves only while the user is at it.
TEST_F(StatusItemControllerTest, TheWindowsPeaMovesOnlyWhileTheWindowIsActive) {
    makeController(false);
    QCoreApplication::processEvents();
    // The pointer is over some other program.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&controller->popoverPanel(), &leave);
    QApplication::setActiveWindow(&controller->popoverPanel());
    const AnimatedPeaView& pea = controller->popoverView().pea().pea();
    ASSERT_TRUE(pea.isAnimating());
    EXPECT_TRUE(pea.isMoving());
    EXPECT_TRUE(pea.isTicking());

    QWidget elsewhere;
    elsewhere.show();
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&elsewhere);
    EXPECT_TRUE(pea.isAnimating()) << "the popover is still open";
    EXPECT_EQ(pea.watchLevel(), WindowWatch::Level::seen);
    EXPECT_FALSE(pea.isMoving()) << "at most a face change still blends in";
}

// Left open all day, the window costs what an open popover does only while someone is at it: active, or
// under the pointer. Opened at launch, it leaves the focus where the user had it.
TEST_F(StatusItemControllerTest, TheWindowCountsAsAnOpenPopoverOnlyWhileWatched) {
    makeController(false);
    QCoreApplication::processEvents();
    PopupPanel& window = controller->popoverPanel();
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    QWidget elsewhere;
    elsewhere.show();
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&elsewhere);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_FALSE(model->isPopoverOpen());
    EXPECT_FALSE(world.breakdownTimer->isActive());

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(model->isPopoverOpen()) << "under the pointer";
    EXPECT_TRUE(world.breakdownTimer->isActive());
    QCoreApplication::sendEvent(&window, &leave);
    EXPECT_FALSE(model->isPopoverOpen());

    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(model->isPopoverOpen()) << "active";
    window.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(model->isPopoverOpen()) << "minimised";
    window.showNormal();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
    EXPECT_TRUE(model->isPopoverOpen());

    // Asked for (a tapped notification), it comes forward and takes the focus.
    window.hide();
    EXPECT_FALSE(model->isPopoverOpen());
    controller->showPopover();
    EXPECT_FALSE(window.testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST_F(StatusItemControllerTest, WithoutATrayEveryReminderIsAlsoANotification) {
    makeController(false);
    settings->setNotificationsEnabled(true);
    reminderDue();
    EXPECT_FALSE(controller->showsActiveReminder()) << "the window may lie under others";
    EXPECT_EQ(notifier.sent.size(), 1u);
}

} // namespace
} // namespace halvrick::shelltest
