#include "core/ReminderEditorState.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace halvrick {
namespace {

using Kind = ReminderEditorState::Kind;
using Schedule = Reminder::Schedule;

const Uuid someId = *Uuid::fromString("8E1D6A6B-2C3F-4E8A-9B0C-1D2E3F405162");

Reminder reminder(std::string text, Schedule schedule, bool enabled = true) {
    return Reminder(someId, std::move(text), schedule, enabled);
}

TEST(ReminderEditorStateTest, OpensOnTheReminderScheduleWithTheOtherKindAtItsDefault) {
    const ReminderEditorState fresh = ReminderEditorState::editing(reminder("", Schedule::every(30)));
    EXPECT_EQ(fresh.kind, Kind::every);
    EXPECT_EQ(fresh.minutes, 30);
    EXPECT_EQ(fresh.minuteOfDay, 15 * 60);
    EXPECT_FALSE(canSave(fresh));

    const ReminderEditorState daily = ReminderEditorState::editing(reminder("Stretch", Schedule::daily(7, 45)));
    EXPECT_EQ(daily.kind, Kind::daily);
    EXPECT_EQ(daily.minutes, 30);
    EXPECT_EQ(daily.minuteOfDay, 7 * 60 + 45);
}

TEST(ReminderEditorStateTest, SavingNeedsTextBeyondWhitespaceAndAnIntervalAboveZero) {
    struct Case {
        const char* name;
        std::string text;
        Kind kind;
        std::int64_t minutes;
        bool canSave;
    };
    const std::vector<Case> cases{
        {"empty text", "", Kind::every, 30, false},
        {"spaces only", "    ", Kind::every, 30, false},
        {"newlines and tabs only", "\n\t\r\n", Kind::daily, 30, false},
        {"no-break and em spaces only", "\u00A0\u2003\u3000", Kind::every, 30, false},
        {"line separator only", "\u2028", Kind::every, 30, false},
        {"text", "Drink water", Kind::every, 30, true},
        {"text inside spaces", "  Drink water\n", Kind::every, 30, true},
        {"zero minutes", "Drink water", Kind::every, 0, false},
        {"negative minutes", "Drink water", Kind::every, -5, false},
        {"one minute", "Drink water", Kind::every, 1, true},
        {"beyond the stepper", "Drink water", Kind::every, 2000, true},
        {"zero minutes do not matter daily", "Drink water", Kind::daily, 0, true},
    };
    for (const Case& c : cases) {
        ReminderEditorState state = ReminderEditorState::editing(reminder(c.text, Schedule::every(30)));
        state.kind = c.kind;
        state.minutes = c.minutes;
        EXPECT_EQ(canSave(state), c.canSave) << c.name;
    }
}

TEST(ReminderEditorStateTest, BuiltTrimsTheTextAndKeepsIdAndSwitch) {
    ReminderEditorState state =
        ReminderEditorState::editing(reminder("\u00A0 Drink water \n", Schedule::every(45), false));
    const Reminder saved = built(state);
    EXPECT_EQ(saved.text, "Drink water");
    EXPECT_EQ(saved.id, someId);
    EXPECT_FALSE(saved.isEnabled);
    EXPECT_EQ(saved.schedule, Schedule::every(45));

    state.draft.text = "Tee\u00A0time";
    EXPECT_EQ(built(state).text, "Tee\u00A0time") << "space inside the text stays";
}

TEST(ReminderEditorStateTest, SwitchingKindsKeepsBothValuesAndOnlyTheSelectedOneIsSaved) {
    ReminderEditorState state = ReminderEditorState::editing(reminder("Stretch", Schedule::every(20)));
    state.kind = Kind::daily;
    state.minuteOfDay = 7 * 60 + 45;
    EXPECT_EQ(built(state).schedule, Schedule::daily(7, 45));

    state.kind = Kind::every;
    EXPECT_EQ(built(state).schedule, Schedule::every(20)) << "the picked time is dropped";
    state.kind = Kind::daily;
    EXPECT_EQ(built(state).schedule, Schedule::daily(7, 45)) << "and comes back when switching again";

    state.kind = Kind::every;
    state.minutes = 2000;
    EXPECT_EQ(built(state).schedule, Schedule::every(2000));
    state.minutes = -3;
    EXPECT_EQ(built(state).schedule, Schedule::every(1)) << "never an interval below one minute";
}

TEST(ReminderEditorStateTest, MidnightAndTheLastMinuteOfTheDayBuildDailySchedules) {
    ReminderEditorState state = ReminderEditorState::editing(reminder("Sleep", Schedule::daily(0, 0)));
    EXPECT_EQ(state.minuteOfDay, 0);
    EXPECT_EQ(built(state).schedule, Schedule::daily(0, 0));
    state.minuteOfDay = 1439;
    EXPECT_EQ(built(state).schedule, Schedule::daily(23, 59));
}

} // namespace
} // namespace halvrick
