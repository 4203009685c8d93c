#include "FakeScheduler.h"
#include "ShellTestSupport.h"

#include "menubar/HeadsUpView.h"
#include "menubar/PopoverCardSlot.h"
#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"
#include "menubar/ReminderBubbleView.h"
#include "menubar/RestPromptView.h"
#include "pea/AnimatedPeaView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QTimer>

namespace halvrick::shelltest {
namespace {

using namespace std::chrono_literals;

class FakeDisplayOptions : public DisplayOptionsSource {
public:
    DisplayOptions current() const override { return options; }
    void change(DisplayOptions next) {
        options = next;
        onChange();
    }
    DisplayOptions options;
};

class FakeNotchScreens : public NotchScreenInfo {
public:
    explicit FakeNotchScreens(const std::optional<NotchScreen>& screen) : screen_(screen) {}
    std::optional<NotchScreen> trayScreen() const override { return screen_; }

private:
    const std::optional<NotchScreen>& screen_;
};

// A 1512-point screen with a 200-point notch under a 32-point top band.
NotchScreen notchedScreen() {
    NotchScreen screen;
    screen.frame = QRect(0, 0, 1512, 982);
    screen.auxiliaryTopLeftArea = NotchGeometry::Rect{0, 0, 656, 32};
    screen.auxiliaryTopRightArea = NotchGeometry::Rect{856, 0, 656, 32};
    screen.safeAreaTop = 32;
    return screen;
}

// The status item with the bubble's clock, the tray's screen and the display options in the test's hands.
class StatusItemBubbleTest : public ShellTest {
protected:
    void makeController() {
        StatusItemController::Desktop desktop = fakeDesktop();
        auto fakeScheduler = std::make_unique<FakeScheduler>();
        scheduler = fakeScheduler.get();
        desktop.scheduler = std::move(fakeScheduler);
        desktop.notchScreens = std::make_unique<FakeNotchScreens>(notchScreen);
        auto options = std::make_unique<FakeDisplayOptions>();
        options->options = initialOptions;
        displayOptions = options.get();
        desktop.displayOptions = std::move(options);
        desktop.bubbles = bubbles;
        controller = std::make_unique<StatusItemController>(*model, StatusItemController::Windows{},
                                                            std::move(desktop));
    }

    bool bubbleShown() const { return controller->bubblePanel().isVisible(); }
    // Deletes the views the bubble let go of.
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    FakeScheduler* scheduler = nullptr;
    FakeDisplayOptions* displayOptions = nullptr;
    DisplayOptions initialOptions;
    std::optional<NotchScreen> notchScreen;
    bool bubbles = true;
};

TEST_F(StatusItemBubbleTest, HeadsUpFromTheModelShowsUnderTheIconForItsDuration) {
    makeController();
    model->showTestHeadsUp();
    ASSERT_TRUE(bubbleShown());
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::headsUp);
    EXPECT_NE(dynamic_cast<HeadsUpView*>(controller->bubblePanel().content()), nullptr);
    // No click to go by: the tray's likely corner, top right, inside the desktop's free area.
    const QRect bubble = controller->bubblePanel().geometry();
    EXPECT_GE(bubble.top(), 30);
    EXPECT_LE(bubble.right(), 1919);
    EXPECT_GT(bubble.center().x(), 960);
    // It floats without taking the focus or the pointer.
    const Qt::WindowFlags flags = controller->bubblePanel().windowFlags();
    EXPECT_EQ(controller->bubblePanel().windowType(), Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(controller->bubblePanel().testAttribute(Qt::WA_ShowWithoutActivating));

    scheduler->advance(model->config().headsUpDisplayDuration);
    EXPECT_FALSE(bubbleShown());
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::none);
}

TEST_F(StatusItemBubbleTest, TheHeadsUpPeaMovesAtTheGlanceRate) {
    makeController();
    model->showTestHeadsUp();
    QCoreApplication::processEvents();
    const auto* card = dynamic_cast<HeadsUpView*>(controller->bubblePanel().content());
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->pea().isMoving());
    EXPECT_TRUE(card->pea().isTicking());
    EXPECT_EQ(card->pea().tickInterval(), AnimatedPeaView::glanceInterval);
}

// Wayland alone: a window the compositor places where it likes, maybe taking the focus, is no bubble. The
// notifications and the popover's cards carry what the bubbles would have said.
TEST_F(StatusItemBubbleTest, WhereBubblesCannotBePlacedNoneIsShown) {
    bubbles = false;
    notchScreen = notchedScreen();
    makeController();
    EXPECT_FALSE(controller->showsBubbles());
    model->showTestHeadsUp();
    EXPECT_FALSE(bubbleShown());
    EXPECT_EQ(controller->notchPeek().state(), nullptr) << "nor a peek";
    world.advance(1);
    model->ingestLoad(5, world.now);
    controller->restPhaseChanged(RestPhase::prompting);
    EXPECT_FALSE(bubbleShown()) << "the rest prompt";
    reminderDue();
    EXPECT_FALSE(bubbleShown()) << "a reminder";
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::none);
    click();
    EXPECT_TRUE(controller->isPopoverShown()) << "the popover opens all the same";
}

TEST_F(StatusItemBubbleTest, OpeningThePopoverClosesTheBubbleAndThePeek) {
    makeController();
    model->showTestHeadsUp();
    ASSERT_TRUE(bubbleShown());
    click();
    EXPECT_TRUE(controller->isPopoverShown());
    EXPECT_FALSE(bubbleShown());
    // While it is open, heads-ups are the popover's.
    model->showTestHeadsUp();
    EXPECT_FALSE(bubbleShown());
    controller->closePopover();

    notchScreen = notchedScreen();
    model->showTestHeadsUp();
    EXPECT_FALSE(bubbleShown()) << "a screen with a notch gets the peek";
    ASSERT_NE(controller->notchPeek().state(), nullptr);
    wait(1s);
    click();
    EXPECT_EQ(controller->notchPeek().state(), nullptr);

    controller->closePopover();
    settings->setNotchPeekEnabled(false);
    model->showTestHeadsUp();
    EXPECT_TRUE(bubbleShown());
}

TEST_F(StatusItemBubbleTest, CardsSitInTheBubbleAtItsWidthWithTheirMargins) {
    makeController();
    // At work, so that the ticks below keep the phase; the prompt is then the coach's to show.
    world.advance(1);
    model->ingestLoad(5, world.now);
    ASSERT_EQ(model->restPhase(), RestPhase::active);
    controller->restPhaseChanged(RestPhase::prompting);
    ASSERT_TRUE(bubbleShown());
    QWidget* frame = controller->bubblePanel().content();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width(), 320);
    EXPECT_EQ(frame->layout()->contentsMargins(), QMargins(16, 16, 16, 16));
    EXPECT_NE(dynamic_cast<RestPromptView*>(frame->layout()->itemAt(0)->widget()), nullptr);

    // A reminder waits behind the rest prompt, then takes the bubble, which stays where it is.
    reminderDue();
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::restPrompt);
    const QPointer<QWidget> restFrame = frame;
    const int right = controller->bubblePanel().geometry().right();
    controller->restPhaseChanged(RestPhase::active);
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::reminder);
    frame = controller->bubblePanel().content();
    EXPECT_EQ(frame->width(), 320);
    EXPECT_EQ(frame->layout()->contentsMargins(), QMargins(14, 14, 14, 14));
    EXPECT_NE(dynamic_cast<ReminderBubbleView*>(frame->layout()->itemAt(0)->widget()), nullptr);
    EXPECT_EQ(controller->bubblePanel().geometry().right(), right);
    flushDeletes();
    EXPECT_TRUE(restFrame.isNull()) << "the rest prompt's view went with it";

    // Completing it clears the bubble.
    model->completeReminder();
    EXPECT_FALSE(bubbleShown());
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::none);
}

TEST_F(StatusItemBubbleTest, ReminderThatCameWhileThePopoverWasOpenShowsWhenItCloses) {
    makeController();
    click();
    reminderDue();
    EXPECT_FALSE(bubbleShown());
    controller->closePopover();
    EXPECT_FALSE(model->isPopoverOpen());
    EXPECT_TRUE(bubbleShown());
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::reminder);
    // Closed some other way, it is empty and shows the reminder again.
    controller->bubblePanel().hide();
    EXPECT_TRUE(bubbleShown());
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::reminder);
}

// The bubble and the popover's card go with the reminder they show: deleted, disabled or edited in the
// settings, it is taken back at the next tick.
TEST_F(StatusItemBubbleTest, AReminderBubbleClosesWhenItsReminderChanges) {
    const Uuid id = *Uuid::fromString("0A1B2C3D-0000-4000-8000-000000000001");
    const std::pair<const char*, std::vector<Reminder>> edits[] = {
        {"deleted", {}},
        {"disabled", {Reminder(id, "Stretch", Reminder::Schedule::every(1), false)}},
        {"edited", {Reminder(id, "Stretch your legs", Reminder::Schedule::every(1), true)}},
    };
    makeController();
    const auto nextTick = [this] {
        world.advance(1);
        model->ingestLoad(5, world.now);
        QCoreApplication::processEvents();
    };
    for (const auto& [name, list] : edits) {
        SCOPED_TRACE(name);
        reminderDue();
        ASSERT_EQ(controller->bubbleContent(), BubbleContent::reminder);
        settings->setReminders(list);
        nextTick();
        EXPECT_FALSE(bubbleShown());
        EXPECT_EQ(controller->bubbleContent(), BubbleContent::none);
        EXPECT_EQ(model->activeReminder(), std::nullopt);
    }

    reminderDue();
    click();
    QCoreApplication::processEvents();
    ASSERT_EQ(controller->popoverView().cardSlot().card(), PopoverCard::reminder);
    settings->setReminders({});
    nextTick();
    EXPECT_EQ(controller->popoverView().cardSlot().card(), PopoverCard::none);
}

// With notifications on, the server's popup for a reminder never lies over the pea's own bubble for it
// (it would take the click meant for "Done"): it goes out only while the reminder cannot be seen here,
// and comes down as soon as it can.
TEST_F(StatusItemBubbleTest, TheServersPopupNeverLiesOverTheReminderBubble) {
    makeController();
    settings->setNotificationsEnabled(true);
    world.advance(1);
    model->ingestLoad(5, world.now);
    reminderDue();
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::reminder);
    EXPECT_TRUE(notifier.sent.empty());
    model->completeReminder();

    // On the open popover's card it is in sight as well.
    click();
    reminderDue();
    EXPECT_TRUE(controller->showsActiveReminder());
    EXPECT_TRUE(notifier.sent.empty());
    model->completeReminder();
    controller->closePopover();

    // Behind a rest prompt it waits unseen: the server tells of it until the bubble can.
    controller->restPhaseChanged(RestPhase::prompting);
    reminderDue();
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::restPrompt);
    ASSERT_EQ(notifier.sent.size(), 1u);
    const std::string notification = notifier.sent[0].first;
    const std::size_t removed = notifier.removed.size();
    controller->restPhaseChanged(RestPhase::active);
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::reminder);
    ASSERT_EQ(notifier.removed.size(), removed + 1);
    EXPECT_EQ(notifier.removed.back(), notification);
}

TEST_F(StatusItemBubbleTest, TheServersPopupNeverLiesOverTheRestPromptBubble) {
    makeController();
    settings->setNotificationsEnabled(true);
    world.advance(1);
    model->ingestLoad(5, world.now);
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::restPrompt);
    EXPECT_TRUE(controller->showsRestPrompt());
    EXPECT_TRUE(notifier.sent.empty());
    model->handleRestEvents(model->coach().notNow(), true);
    EXPECT_FALSE(controller->showsRestPrompt());

    // The open popover is headed by the prompt.
    click();
    model->handleRestEvents(model->coach().promptNow(), true);
    EXPECT_TRUE(controller->showsRestPrompt());
    EXPECT_TRUE(notifier.sent.empty());
}

TEST_F(StatusItemBubbleTest, DisplayOptionsReachTheModelAtOnceAndOnEveryChange) {
    initialOptions = {true, false};
    makeController();
    EXPECT_TRUE(model->reduceMotion());
    EXPECT_FALSE(model->increaseContrast());
    displayOptions->change({false, true});
    EXPECT_FALSE(model->reduceMotion());
    EXPECT_TRUE(model->increaseContrast());
    // The icon is redrawn in the new style.
    const int icons = tray->iconsSet;
    displayOptions->change({false, false});
    EXPECT_GT(tray->iconsSet, icons);
}

struct ScreenCase {
    const char* name;
    std::vector<PopoverPlacement::ScreenArea> screens;
    QPoint pointer;
};

// Panels placed from their final size, inside the free area of the tray's screen: a full HD screen, the
// same at QT_SCALE_FACTOR=2 (half as many logical pixels), a screen too short for the whole popover,
// and a second screen to the right of the primary one that holds the tray.
const std::vector<ScreenCase> screenCases = {
    {"full HD", {{QRect(0, 0, 1920, 1080), QRect(0, 30, 1920, 1050)}}, QPoint(1800, 10)},
    {"scale 2", {{QRect(0, 0, 960, 540), QRect(0, 15, 960, 525)}}, QPoint(940, 5)},
    {"short", {{QRect(0, 0, 1024, 360), QRect(0, 24, 1024, 336)}}, QPoint(1000, 8)},
    {"second screen",
     {{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)}, {QRect(1920, 0, 1280, 720), QRect(1920, 28, 1280, 692)}},
     QPoint(3190, 10)},
};

TEST_F(StatusItemBubbleTest, BubblesAndThePopoverOpenFromTheirFinalSizeInsideTheScreen) {
    for (const ScreenCase& screenCase : screenCases) {
        SCOPED_TRACE(screenCase.name);
        SetUp();
        screens = screenCase.screens;
        pointer = screenCase.pointer;
        popupPanels = true;
        makeController();
        const QRect available = screens.back().available;
        const auto expectInside = [&](QWidget& panel, const char* what) {
            // Whatever size the layout settles on, the panel follows it onto the screen.
            panel.layout()->activate();
            const QRect shown = panel.geometry();
            EXPECT_TRUE(available.contains(shown)) << what << " at " << shown.x() << "," << shown.y() << " "
                                                   << shown.width() << "x" << shown.height();
            EXPECT_EQ(shown.size(), panel.sizeHint()) << what << " is placed at the size it has";
        };

        // The click puts the anchor on the tray's screen; the popover fits even where it is too tall.
        heatUp();
        model->blame().setIgnoredNames({});
        click();
        ASSERT_TRUE(controller->isPopoverShown());
        QCoreApplication::processEvents();
        expectInside(controller->popoverPanel(), "the popover");
        controller->closePopover();

        // A reminder, then the rest prompt that follows it into the same bubble.
        world.advance(1);
        model->ingestLoad(5, world.now);
        reminderDue();
        ASSERT_EQ(controller->bubbleContent(), BubbleContent::reminder);
        QCoreApplication::processEvents();
        expectInside(controller->bubblePanel(), "the reminder");
        model->completeReminder();
        reminderDue();
        controller->restPhaseChanged(RestPhase::prompting);
        ASSERT_EQ(controller->bubbleContent(), BubbleContent::restPrompt);
        QCoreApplication::processEvents();
        expectInside(controller->bubblePanel(), "the rest prompt");
        controller.reset();
        flushDeletes();
    }
}

TEST_F(StatusItemBubbleTest, AHundredThousandCharacterTextLeavesTheBubbleInsideTheScreenWithItsButtons) {
    std::string endless;
    while (endless.size() < 100000) {
        endless += "Stand up and stretch. ";
    }
    for (const ScreenCase& screenCase : screenCases) {
        SCOPED_TRACE(screenCase.name);
        SetUp();
        screens = screenCase.screens;
        pointer = screenCase.pointer;
        popupPanels = true;
        makeController();
        const QRect available = screens.back().available;
        PopupPanel& panel = controller->bubblePanel();
        const auto expectInside = [&](const char* what) {
            panel.layout()->activate();
            EXPECT_TRUE(available.contains(panel.geometry()))
                << what << " is " << panel.width() << "x" << panel.height() << " at " << panel.y();
        };

        // A click puts the anchor on the tray's screen.
        click();
        controller->closePopover();

        settings->setReminders({Reminder(*Uuid::fromString("0A1B2C3D-0000-4000-8000-0000000000E1"), endless,
                                         Reminder::Schedule::every(1), true)});
        for (int i = 0; i < 3 && !model->activeReminder(); ++i) {
            world.advance(60);
            model->ingestLoad(5, world.now);
        }
        ASSERT_TRUE(model->activeReminder());
        // Stored whole, shown cut.
        EXPECT_EQ(model->activeReminder()->text, endless);
        QCoreApplication::processEvents();
        ASSERT_EQ(controller->bubbleContent(), BubbleContent::reminder);
        expectInside("the reminder");
        const auto* view = panel.findChild<ReminderBubbleView*>();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->textLabel().text().endsWith(QStringLiteral("…")));
        EXPECT_LE(view->textLabel().text().size(), 600);
        for (const QPushButton* button : {&view->snoozeButton(), &view->doneButton()}) {
            const QRect inPanel(button->mapTo(&panel, QPoint(0, 0)), button->size());
            EXPECT_TRUE(panel.rect().contains(inPanel)) << button->text().toStdString();
        }
        model->completeReminder();
        settings->setReminders({});

        controller->showHeadsUp(endless, PeaFace(), 5);
        ASSERT_EQ(controller->bubbleContent(), BubbleContent::headsUp);
        QCoreApplication::processEvents();
        expectInside("the heads-up");
        controller.reset();
        flushDeletes();
    }
}

enum class BubbleUp { reminder, restPromptBeforeAReminder, headsUp, headsUpInThePeek };
// From the menu or a signal; or the session manager's Quit event when the session ends.
enum class QuitRoad { quit, sessionEnds };

class StatusItemQuitTest : public StatusItemBubbleTest,
                           public testing::WithParamInterface<std::tuple<BubbleUp, QuitRoad>> {};

// Quitting closes every window; a closing bubble must not bring the waiting reminder back, or Qt's
// closing of all windows never ends (the test then runs into its time limit).
TEST_P(StatusItemQuitTest, QuittingWithABubbleUpEnds) {
    const auto [up, road] = GetParam();
    if (up == BubbleUp::headsUpInThePeek) {
        notchScreen = notchedScreen();
    }
    makeController();
    world.advance(1);
    model->ingestLoad(5, world.now);
    if (up == BubbleUp::restPromptBeforeAReminder) {
        controller->restPhaseChanged(RestPhase::prompting);
    }
    if (up == BubbleUp::reminder || up == BubbleUp::restPromptBeforeAReminder) {
        reminderDue();
    } else {
        model->showTestHeadsUp();
    }
    ASSERT_TRUE(bubbleShown() || controller->notchPeek().state() != nullptr);

    int closings = 0;
    QObject::connect(&controller->bubblePanel(), &PopupPanel::closed, [&closings] { ++closings; });
    QTimer::singleShot(0, [road = road] {
        if (road == QuitRoad::quit) {
            QCoreApplication::quit();
        } else {
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
        }
    });
    QCoreApplication::exec();

    EXPECT_LE(closings, 1);
    EXPECT_FALSE(bubbleShown());
    EXPECT_EQ(controller->notchPeek().state(), nullptr);
    EXPECT_EQ(controller->bubbleContent(), BubbleContent::none);
    // Whatever the model still says on its way out stays off the screen.
    model->showTestHeadsUp();
    controller->reminderChanged();
    controller->restPhaseChanged(RestPhase::prompting);
    EXPECT_FALSE(bubbleShown());
    EXPECT_FALSE(controller->isPopoverShown());
}

INSTANTIATE_TEST_SUITE_P(EachBubbleEachRoad, StatusItemQuitTest,
                         testing::Combine(testing::Values(BubbleUp::reminder, BubbleUp::restPromptBeforeAReminder,
                                                          BubbleUp::headsUp, BubbleUp::headsUpInThePeek),
                                          testing::Values(QuitRoad::quit, QuitRoad::sessionEnds)));

TEST_F(StatusItemBubbleTest, ControllerGoneWithABubbleUpLeavesTheModelQuiet) {
    makeController();
    model->showTestHeadsUp();
    controller.reset();
    EXPECT_FALSE(model->onHeadsUp);
    EXPECT_FALSE(model->onReminder);
    model->showTestHeadsUp();
}

} // namespace
} // namespace halvrick::shelltest
