#include "menubar/BubbleRouter.h"

#include "FakeScheduler.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {
namespace {

// The model's side, set by the test.
struct FakeInputs : BubbleRouter::Inputs {
    bool isCoolDownRunning() const override { return coolDown; }
    bool hasActiveReminder() const override { return reminder; }
    RestPhase restPhase() const override { return phase; }
    bool increaseContrast() const override { return contrast; }
    bool reduceMotion() const override { return lessMotion; }
    bool notchPeekEnabled() const override { return peekEnabled; }

    bool coolDown = false;
    bool reminder = false;
    RestPhase phase = RestPhase::active;
    bool contrast = false;
    bool lessMotion = false;
    bool peekEnabled = true;
};

// Windows that behave like the status item's: opening the popover closes the bubble and the peek,
// closing it retries a waiting reminder, and a closing bubble reports back.
struct FakeSurfaces : BubbleRouter::Surfaces {
    bool hasStatusItem() const override { return statusItem; }
    bool isPopoverShown() const override { return popover; }
    void showPopover() override {
        popover = true;
        router->closeBubble();
        closePeek();
    }
    void closePopover() override {
        if (popover) {
            popover = false;
            router->showReminderIfPossible();
        }
    }
    void presentBubble(BubbleContent content, const std::optional<HeadsUpCard>& headsUp) override {
        bubble = content;
        card = headsUp;
        ++presented;
    }
    bool isBubbleShown() const override { return bubble != BubbleContent::none; }
    void closeBubble() override {
        bubble = BubbleContent::none;
        router->bubbleDidClose();
    }
    bool showPeek(const HeadsUpCard& shown, double duration) override {
        if (!hasNotch) {
            return false;
        }
        peek = shown.message;
        peekDuration = duration;
        return true;
    }
    void closePeek() override { peek.reset(); }

    BubbleRouter* router = nullptr;
    bool statusItem = true;
    bool popover = false;
    // What the bubble on screen holds; none when it is closed.
    BubbleContent bubble = BubbleContent::none;
    std::optional<HeadsUpCard> card;
    int presented = 0;
    bool hasNotch = false;
    std::optional<QString> peek;
    double peekDuration = 0;
};

// A router over fakes, with the model's moves as the test makes them.
struct Scene {
    Scene() { surfaces.router = &router; }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void headsUp(const std::string& message = "Compiler is cooking.", double duration = 7) {
        router.showHeadsUp(message, PeaFace::heat(HeatState::sweating), duration);
    }
    void phase(RestPhase next) {
        inputs.phase = next;
        router.restPhaseChanged(next);
    }
    void reminderDue() {
        inputs.reminder = true;
        router.reminderChanged();
    }
    void reminderCleared() {
        inputs.reminder = false;
        router.reminderChanged();
    }
    // The bubble on screen and the router agree on what it holds.
    void expectBubble(BubbleContent content) {
        EXPECT_EQ(surfaces.bubble, content) << toString(surfaces.bubble);
        EXPECT_EQ(router.bubbleContent(), content) << toString(router.bubbleContent());
    }

    FakeInputs inputs;
    FakeSurfaces surfaces;
    FakeScheduler scheduler;
    BubbleRouter router{surfaces, inputs, scheduler};
};

class BubbleRouterTest : public testing::Test, public Scene {};

TEST_F(BubbleRouterTest, HeadsUpShowsInColourForItsDurationThenCloses) {
    inputs.contrast = true;
    inputs.lessMotion = true;
    headsUp("Compiler is cooking.", 7);
    expectBubble(BubbleContent::headsUp);
    ASSERT_TRUE(surfaces.card);
    EXPECT_EQ(surfaces.card->message, QStringLiteral("Compiler is cooking."));
    EXPECT_EQ(surfaces.card->face, PeaFace::heat(HeatState::sweating));
    EXPECT_EQ(surfaces.card->style, (PeaStyle{false, true}));
    EXPECT_FALSE(surfaces.card->animate);
    scheduler.advance(6.9);
    expectBubble(BubbleContent::headsUp);
    scheduler.advance(0.1);
    expectBubble(BubbleContent::none);
    EXPECT_FALSE(router.hasCloseTask());
}

TEST_F(BubbleRouterTest, HeadsUpIsDroppedWhenSomethingOutranksIt) {
    struct Case {
        const char* name;
        std::function<void(Scene&)> before;
        BubbleContent bubbleAfter;
    };
    const std::vector<Case> cases{
        {"reminder in the bubble", [](Scene& t) { t.reminderDue(); }, BubbleContent::reminder},
        {"rest prompt in the bubble", [](Scene& t) { t.phase(RestPhase::prompting); },
         BubbleContent::restPrompt},
        {"popover open", [](Scene& t) { t.surfaces.showPopover(); }, BubbleContent::none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene t;
        c.before(t);
        const int presented = t.surfaces.presented;
        t.surfaces.hasNotch = true;
        t.headsUp();
        EXPECT_EQ(t.surfaces.presented, presented);
        EXPECT_FALSE(t.surfaces.peek) << "nor does it peek";
        t.expectBubble(c.bubbleAfter);
        // Dropped, not queued: it does not come back when the way is clear.
        t.reminderCleared();
        t.phase(RestPhase::active);
        t.surfaces.closePopover();
        t.expectBubble(BubbleContent::none);
        EXPECT_EQ(t.scheduler.pending(), 0U);
    }
}

TEST_F(BubbleRouterTest, SecondHeadsUpReplacesTheFirstWithATimerOfItsOwn) {
    headsUp("first", 7);
    scheduler.advance(5);
    headsUp("second", 4);
    ASSERT_TRUE(surfaces.card);
    EXPECT_EQ(surfaces.card->message, "second");
    EXPECT_EQ(scheduler.pendingDelays(), std::vector<double>{4});
    // The first one's end passes without effect.
    scheduler.advance(3);
    expectBubble(BubbleContent::headsUp);
    scheduler.advance(1);
    expectBubble(BubbleContent::none);
}

TEST_F(BubbleRouterTest, AStaleTimerNeverClosesNewerContent) {
    headsUp("heads-up", 7);
    scheduler.advance(2);
    reminderDue();
    expectBubble(BubbleContent::reminder);
    EXPECT_FALSE(router.hasCloseTask());
    scheduler.advance(60);
    expectBubble(BubbleContent::reminder);
}

TEST_F(BubbleRouterTest, HeadsUpPeeksOnlyWhenAllowedAndThereIsANotch) {
    struct Case {
        const char* name;
        bool enabled;
        bool notch;
        bool peeks;
    };
    const Case cases[] = {
        {"allowed, with a notch", true, true, true},
        {"allowed, no notch: the bubble", true, false, false},
        {"not allowed", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene t;
        t.inputs.peekEnabled = c.enabled;
        t.surfaces.hasNotch = c.notch;
        t.headsUp("hot", 5);
        EXPECT_EQ(t.surfaces.peek.has_value(), c.peeks);
        t.expectBubble(c.peeks ? BubbleContent::none : BubbleContent::headsUp);
        if (c.peeks) {
            EXPECT_EQ(t.surfaces.peekDuration, 5);
            EXPECT_EQ(t.scheduler.pending(), 0U) << "the peek closes itself";
        }
    }
}

TEST_F(BubbleRouterTest, RestPromptAndRemindersCloseThePeek) {
    surfaces.hasNotch = true;
    headsUp();
    ASSERT_TRUE(surfaces.peek);
    phase(RestPhase::prompting);
    EXPECT_FALSE(surfaces.peek);
    expectBubble(BubbleContent::restPrompt);

    phase(RestPhase::active);
    headsUp();
    ASSERT_TRUE(surfaces.peek);
    reminderDue();
    EXPECT_FALSE(surfaces.peek);
    expectBubble(BubbleContent::reminder);
}

TEST_F(BubbleRouterTest, PromptingWithThePopoverOpenLeavesItToThePopover) {
    surfaces.showPopover();
    phase(RestPhase::prompting);
    EXPECT_EQ(surfaces.presented, 0);
    expectBubble(BubbleContent::none);
}

TEST_F(BubbleRouterTest, RestPromptReplacesAHeadsUpAndCancelsItsTimer) {
    headsUp();
    phase(RestPhase::prompting);
    expectBubble(BubbleContent::restPrompt);
    scheduler.advance(60);
    expectBubble(BubbleContent::restPrompt);
}

TEST_F(BubbleRouterTest, LeavingThePromptClosesItAndShowsTheWaitingReminder) {
    for (const RestPhase next :
         {RestPhase::idle, RestPhase::active, RestPhase::snoozed, RestPhase::breakTaken}) {
        SCOPED_TRACE(static_cast<int>(next));
        Scene t;
        t.phase(RestPhase::prompting);
        t.reminderDue();
        t.expectBubble(BubbleContent::restPrompt);
        t.phase(next);
        t.expectBubble(BubbleContent::reminder);
        EXPECT_FALSE(t.surfaces.popover);
    }
}

TEST_F(BubbleRouterTest, CoolDownStartedFromThePromptOpensThePopover) {
    phase(RestPhase::prompting);
    reminderDue();
    inputs.coolDown = true;
    phase(RestPhase::breakTaken);
    EXPECT_TRUE(surfaces.popover);
    expectBubble(BubbleContent::none);
}

TEST_F(BubbleRouterTest, RestingClearsTheScreenAndHoldsRemindersBack) {
    headsUp();
    surfaces.popover = true;
    phase(RestPhase::resting);
    expectBubble(BubbleContent::none);
    EXPECT_FALSE(surfaces.popover);

    reminderDue();
    expectBubble(BubbleContent::none);
    surfaces.showPopover();
    surfaces.closePopover();
    expectBubble(BubbleContent::none);

    phase(RestPhase::breakTaken);
    expectBubble(BubbleContent::reminder);
}

TEST_F(BubbleRouterTest, ReminderWaitingDuringARestShowsWhenThePopoverCloses) {
    phase(RestPhase::resting);
    reminderDue();
    // The break ends while the popover is open.
    surfaces.showPopover();
    phase(RestPhase::breakTaken);
    expectBubble(BubbleContent::none);
    surfaces.closePopover();
    expectBubble(BubbleContent::reminder);
}

TEST_F(BubbleRouterTest, ClearingTheReminderClosesOnlyAReminderBubble) {
    reminderDue();
    reminderCleared();
    expectBubble(BubbleContent::none);

    phase(RestPhase::prompting);
    reminderDue();
    reminderCleared();
    expectBubble(BubbleContent::restPrompt);

    phase(RestPhase::active);
    headsUp();
    reminderCleared();
    expectBubble(BubbleContent::headsUp);
}

TEST_F(BubbleRouterTest, ReminderOnShowStaysWhenItIsReplacedByTheNextOne) {
    reminderDue();
    const int presented = surfaces.presented;
    // The model completes one reminder and brings up the next: cleared, then set again.
    reminderCleared();
    reminderDue();
    expectBubble(BubbleContent::reminder);
    EXPECT_EQ(surfaces.presented, presented + 1);
}

TEST_F(BubbleRouterTest, WithoutAStatusItemNothingEntersTheBubble) {
    surfaces.statusItem = false;
    headsUp();
    phase(RestPhase::prompting);
    reminderDue();
    EXPECT_EQ(surfaces.presented, 0);
    expectBubble(BubbleContent::none);
    EXPECT_EQ(scheduler.pending(), 0U);
}

TEST_F(BubbleRouterTest, TappingAHeadsUpTogglesThePopover) {
    headsUp();
    ASSERT_TRUE(surfaces.card && surfaces.card->onTap);
    const std::function<void()> tap = surfaces.card->onTap;
    tap();
    EXPECT_TRUE(surfaces.popover);
    // Opening the popover closed the bubble.
    expectBubble(BubbleContent::none);
    tap();
    EXPECT_FALSE(surfaces.popover);
}

TEST_F(BubbleRouterTest, ATapOrATimerAfterTheRouterIsGoneDoesNothing) {
    FakeScheduler ownScheduler;
    FakeSurfaces ownSurfaces;
    std::function<void()> tap;
    {
        BubbleRouter gone(ownSurfaces, inputs, ownScheduler);
        ownSurfaces.router = &gone;
        gone.showHeadsUp("bye", PeaFace::heat(HeatState::warm), 7);
        tap = ownSurfaces.card->onTap;
    }
    tap();
    ownScheduler.advance(10);
    EXPECT_FALSE(ownSurfaces.popover);
    EXPECT_EQ(ownSurfaces.bubble, BubbleContent::headsUp);
}

} // namespace
} // namespace halvrick
