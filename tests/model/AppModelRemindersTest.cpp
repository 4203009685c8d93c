#include "AppModelFakes.h"

#include <gmock/gmock.h>

namespace halvrick {
namespace {

using fakes::ModelTest;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::Pair;

Uuid uuid(const char* text) {
    return *Uuid::fromString(text);
}

class AppModelRemindersTest : public ModelTest {
protected:
    AppModelRemindersTest() {
        make();
        model->start();
        settings->setNotificationsEnabled(true);
        settings->setReminders({Reminder(bank, "Call the bank", Reminder::Schedule::daily(9, 30), true),
                                Reminder(plants, "Water the <b>plants</b>", Reminder::Schedule::daily(9, 30), true)});
        model->onReminder = [this] { ++reminderCalls; };
    }

    // Ticks once a minute for `minutes` minutes.
    void minutes(int count) {
        for (int i = 0; i < count; ++i) {
            tick(5, 60);
        }
    }

    std::optional<std::string> shownText() const {
        return model->activeReminder() ? std::optional(model->activeReminder()->text) : std::nullopt;
    }

    const Uuid bank = uuid("0A1B2C3D-0000-4000-8000-000000000001");
    const Uuid plants = uuid("0A1B2C3D-0000-4000-8000-000000000002");
    const std::string bankId = "reminder-0A1B2C3D-0000-4000-8000-000000000001";
    const std::string plantsId = "reminder-0A1B2C3D-0000-4000-8000-000000000002";
    int reminderCalls = 0;
};

TEST_F(AppModelRemindersTest, DueWhileAwayIsHeldAndShownOnceOnReturnThenOneAtATime) {
    minutes(20);
    world.presenceSignal(true);
    world.typing = false;
    minutes(25);
    EXPECT_EQ(shownText(), std::nullopt);
    EXPECT_THAT(notifier.sent, IsEmpty());

    world.presenceSignal(false);
    world.typing = true;
    minutes(1);
    EXPECT_EQ(shownText(), "Call the bank");
    EXPECT_EQ(model->reminderQueue().size(), 1u);
    EXPECT_EQ(reminderCalls, 1);
    // Still overdue a minute later, yet neither shown nor queued again.
    minutes(3);
    EXPECT_EQ(model->reminderQueue().size(), 1u);
    EXPECT_THAT(notifier.sent, ElementsAre(Pair(bankId, "You asked me to remind you: Call the bank")));

    model->completeReminder();
    EXPECT_THAT(notifier.removed, ElementsAre(bankId));
    EXPECT_EQ(shownText(), "Water the <b>plants</b>");
    EXPECT_THAT(model->reminderQueue(), IsEmpty());
    EXPECT_EQ(reminderCalls, 3);
    EXPECT_THAT(notifier.sent.back(), Pair(plantsId, "You asked me to remind you: Water the <b>plants</b>"));

    // Snoozed for ten minutes: gone now, back once they are over; the bank waits for tomorrow.
    model->snoozeReminder();
    EXPECT_THAT(notifier.removed, ElementsAre(bankId, plantsId));
    EXPECT_EQ(shownText(), std::nullopt);
    minutes(9);
    EXPECT_EQ(shownText(), std::nullopt);
    minutes(2);
    EXPECT_EQ(shownText(), "Water the <b>plants</b>");
    EXPECT_EQ(notifier.sent.size(), 3u);
}

TEST_F(AppModelRemindersTest, QuietWithoutNotificationsOrIdentityButStillShown) {
    settings->setNotificationsEnabled(false);
    minutes(31);
    EXPECT_EQ(shownText(), "Call the bank");
    EXPECT_THAT(notifier.sent, IsEmpty());

    world.identity = AppIdentity::withoutIdentifier();
    make();
    model->start();
    settings->setNotificationsEnabled(true);
    settings->setReminders({Reminder(bank, "Call the bank", Reminder::Schedule::every(5), true)});
    minutes(6);
    EXPECT_EQ(shownText(), "Call the bank");
    model->completeReminder();
    EXPECT_THAT(notifier.sent, IsEmpty());
    EXPECT_THAT(notifier.removed, IsEmpty());
}

TEST_F(AppModelRemindersTest, ActionsWithoutAReminderOnlyMoveTheQueueOn) {
    model->completeReminder();
    model->snoozeReminder();
    EXPECT_EQ(shownText(), std::nullopt);
    EXPECT_THAT(notifier.removed, IsEmpty());
}

} // namespace
} // namespace halvrick
