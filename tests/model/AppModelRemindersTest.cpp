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

// A due reminder is the reminder as it was when it came due: deleted, disabled or edited (text or
// schedule), it is taken back at the next tick, on show or waiting, and its notification with it.
TEST_F(AppModelRemindersTest, ARemindersChangeTakesItBackShownOrWaiting) {
    struct Edit {
        const char* name;
        std::function<void(std::vector<Reminder>& list, std::size_t index)> apply;
        bool takesBack;
    };
    const Edit edits[] = {
        {"deleted", [](auto& list, std::size_t i) { list.erase(list.begin() + static_cast<long>(i)); }, true},
        {"disabled", [](auto& list, std::size_t i) { list[i].isEnabled = false; }, true},
        {"text edited", [](auto& list, std::size_t i) { list[i].text += " today"; }, true},
        {"schedule edited",
         [](auto& list, std::size_t i) { list[i].schedule = Reminder::Schedule::every(45); }, true},
        {"another one added",
         [](auto& list, std::size_t) {
             list.push_back(Reminder(uuid("0A1B2C3D-0000-4000-8000-000000000003"), "Stand up",
                                     Reminder::Schedule::every(90), true));
         },
         false},
    };
    for (const Edit& edit : edits) {
        for (const bool editShown : {true, false}) {
            SCOPED_TRACE(std::string(edit.name) + (editShown ? ", the one on show" : ", the one waiting"));
            world.now = world.calendar.date(2026, 3, 5, 9, 0, 0);
            make();
            model->start();
            settings->setNotificationsEnabled(true);
            const std::vector<Reminder> asDue{
                Reminder(bank, "Call the bank", Reminder::Schedule::daily(9, 30), true),
                Reminder(plants, "Water the plants", Reminder::Schedule::daily(9, 30), true)};
            settings->setReminders(asDue);
            reminderCalls = 0;
            model->onReminder = [this] { ++reminderCalls; };
            notifier.removed.clear();
            minutes(31);
            ASSERT_EQ(shownText(), "Call the bank");
            ASSERT_EQ(model->reminderQueue().size(), 1u);

            std::vector<Reminder> list = asDue;
            edit.apply(list, editShown ? 0 : 1);
            settings->setReminders(list);
            minutes(1);
            if (edit.takesBack && editShown) {
                EXPECT_EQ(shownText(), "Water the plants") << "the one waiting takes its place";
                EXPECT_THAT(notifier.removed, ElementsAre(bankId));
                EXPECT_EQ(reminderCalls, 3) << "gone, then the next one";
                continue;
            }
            EXPECT_EQ(shownText(), "Call the bank");
            EXPECT_THAT(notifier.removed, IsEmpty());
            model->completeReminder();
            EXPECT_EQ(shownText(),
                      edit.takesBack ? std::nullopt : std::optional<std::string>("Water the plants"));
        }
    }
}

// With notifications on, the server's popup goes out only for a reminder the status item cannot show
// itself, and comes down once it does: the two never lie over each other.
TEST_F(AppModelRemindersTest, TheNotificationGoesOutOnlyWhileTheReminderIsNotOnScreen) {
    bool onScreen = true;
    model->showsActiveReminder = [&onScreen] { return onScreen; };
    minutes(31);
    EXPECT_EQ(shownText(), "Call the bank");
    EXPECT_THAT(notifier.sent, IsEmpty());
    model->activeReminderShown();
    EXPECT_THAT(notifier.removed, IsEmpty());

    // The next one waits, behind a rest prompt say.
    onScreen = false;
    model->completeReminder();
    EXPECT_EQ(shownText(), "Water the <b>plants</b>");
    EXPECT_THAT(notifier.sent,
                ElementsAre(Pair(plantsId, "You asked me to remind you: Water the <b>plants</b>")));
    EXPECT_THAT(notifier.removed, ElementsAre(bankId));
    model->activeReminderShown();
    model->activeReminderShown();
    EXPECT_THAT(notifier.removed, ElementsAre(bankId, plantsId)) << "taken down once";
}

TEST_F(AppModelRemindersTest, ActionsWithoutAReminderOnlyMoveTheQueueOn) {
    model->completeReminder();
    model->snoozeReminder();
    EXPECT_EQ(shownText(), std::nullopt);
    EXPECT_THAT(notifier.removed, IsEmpty());
}

} // namespace
} // namespace halvrick
