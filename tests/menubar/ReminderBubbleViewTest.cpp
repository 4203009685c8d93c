#include "menubar/ReminderBubbleView.h"

#include "CardTestSupport.h"
#include "core/FaceState.h"
#include "pea/AnimatedPeaView.h"

namespace halvrick::cardtest {
namespace {

class ReminderBubbleViewTest : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        view = std::make_unique<ReminderBubbleView>(*model);
        showOffscreen(*view);
    }

    // A daily reminder due a few minutes from now (the first tick that sees it only schedules it), ticked
    // until the model shows it.
    void bring(const std::string& text) {
        settings->setReminders({Reminder(*Uuid::fromString("0A1B2C3D-0000-4000-8000-00000000000A"), text,
                                         Reminder::Schedule::daily(9, 3), true)});
        for (int minute = 0; minute < 6 && !model->activeReminder(); ++minute) {
            tick(60);
        }
        ASSERT_TRUE(model->activeReminder());
        QCoreApplication::processEvents();
    }

    // Ticks a minute at a time.
    void minutes(int count) {
        for (int i = 0; i < count; ++i) {
            tick(60);
        }
        QCoreApplication::processEvents();
    }

    std::unique_ptr<ReminderBubbleView> view;
};

TEST_F(ReminderBubbleViewTest, FollowsTheActiveReminderAndTakesNoSpaceWithoutOne) {
    EXPECT_FALSE(view->isShowingReminder());
    EXPECT_EQ(view->sizeHint(), QSize(0, 0));

    bring("Call the <b>bank</b>");
    EXPECT_TRUE(view->isShowingReminder());
    EXPECT_EQ(view->textLabel().text(), QStringLiteral("You asked me to remind you: Call the <b>bank</b>"));
    // The user's words are shown as typed, never as markup.
    EXPECT_EQ(view->textLabel().textFormat(), Qt::PlainText);

    model->completeReminder();
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->isShowingReminder());
    EXPECT_EQ(view->sizeHint(), QSize(0, 0));
}

TEST_F(ReminderBubbleViewTest, AnEmptyReminderStillShowsThePrefix) {
    bring("");
    EXPECT_EQ(view->textLabel().text(), QStringLiteral("You asked me to remind you: "));
}

TEST_F(ReminderBubbleViewTest, ReturnCompletesWhereverTheFocusIsAndSnoozingBringsItBack) {
    bring("Stretch");
    // Focus on "In 10 min": it takes no Return, so the card's default answer does.
    pressReturn(view->snoozeButton());
    EXPECT_FALSE(model->activeReminder());
    minutes(11);
    EXPECT_FALSE(model->activeReminder()) << "done, not snoozed";

    world.advance(24 * 3600 - 11 * 60);
    bring("Stretch");
    view->snoozeButton().click();
    EXPECT_FALSE(model->activeReminder());
    minutes(11);
    EXPECT_TRUE(model->activeReminder()) << "back ten minutes later";

    pressReturn(*view);
    EXPECT_FALSE(model->activeReminder());
}

TEST_F(ReminderBubbleViewTest, ThePeaSaysHelloWhateverTheHeatAndFollowsTheDisplayOptions) {
    heatUp(100);
    model->setForcedState(HeatState::meltdown);
    bring("Drink water");
    EXPECT_EQ(view->pea().face(), face(FaceState::hello, HeatState::chill));
    EXPECT_EQ(view->pea().style(), (PeaStyle{false, false}));
    EXPECT_TRUE(view->pea().isAnimating());

    model->updateDisplayOptions(true, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->pea().style(), (PeaStyle{false, true}));
    EXPECT_FALSE(view->pea().isAnimating());
}

TEST_F(ReminderBubbleViewTest, InTheBubble) {
    bring("Take the laundry out before it starts to smell like a swamp, and then fold it, properly this "
          "time");
    auto* shown = new ReminderBubbleView(*model);
    CardHost bubble(shown, 14, 320);
    bubble.save(QStringLiteral("card-reminder.png"));
    expectFits(shown->textLabel());
    EXPECT_LE(shown->doneButton().geometry().right(), shown->width());
    EXPECT_LT(shown->snoozeButton().geometry().right(), shown->doneButton().geometry().left());
}

} // namespace
} // namespace halvrick::cardtest
