#include "core/Reminder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace halvrick {
namespace {

using Schedule = Reminder::Schedule;

Uuid uuid(const char* text) {
    return *Uuid::fromString(text);
}

std::string decodeError(const std::string& text) {
    try {
        Schedule::fromJson(json::parse(text));
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(ReminderScheduleTest, EqualOnlyWithTheSameCaseAndNumbers) {
    EXPECT_EQ(Schedule::every(30), Schedule::every(30));
    EXPECT_NE(Schedule::every(30), Schedule::every(45));
    EXPECT_NE(Schedule::every(30), Schedule::daily(0, 30));
    EXPECT_EQ(Schedule::daily(9, 5), Schedule::daily(9, 5));
    EXPECT_NE(Schedule::daily(9, 5), Schedule::daily(5, 9));
}

TEST(ReminderScheduleTest, Validity) {
    const std::vector<std::pair<Schedule, bool>> cases{
        {Schedule::every(1), true},       {Schedule::every(0), false},
        {Schedule::every(-5), false},     {Schedule::every(1'000'000'000'000), true},
        {Schedule::daily(0, 0), true},    {Schedule::daily(23, 59), true},
        {Schedule::daily(24, 0), false},  {Schedule::daily(7, 60), false},
        {Schedule::daily(-1, 30), false}, {Schedule::daily(7, -1), false},
    };
    for (const auto& [schedule, valid] : cases) {
        EXPECT_EQ(schedule.isValid(), valid) << schedule.toJson().dump();
    }
}

TEST(ReminderJsonTest, RoundTripWritesUpperCaseIdsAndOneCaseKey) {
    const std::vector<Reminder> reminders{
        Reminder(uuid("6f1c2b7e-9a4d-4c3b-8e21-0d5a7b9c1e2f"), "Drink water", Schedule::every(30), true),
        Reminder(uuid("A0B1C2D3-E4F5-4A6B-8C7D-9E0F1A2B3C4D"), "Stretch \"now\" \u00e9",
                 Schedule::daily(9, 5), false),
        Reminder(uuid("00000000-0000-4000-8000-000000000003"), "", Schedule::daily(24, 0), true),
    };
    json::Json list = json::Json::array();
    for (const Reminder& r : reminders) {
        list.push_back(r.toJson());
    }
    EXPECT_EQ(list[0], json::parse(R"({"id": "6F1C2B7E-9A4D-4C3B-8E21-0D5A7B9C1E2F", "text": "Drink water",
                                       "schedule": {"every": {"minutes": 30}}, "isEnabled": true})"));
    EXPECT_EQ(list[1]["schedule"], json::parse(R"({"daily": {"hour": 9, "minute": 5}})"));

    const json::Json reread = json::parse(list.dump());
    ASSERT_EQ(reread.size(), reminders.size());
    for (std::size_t i = 0; i < reminders.size(); ++i) {
        EXPECT_EQ(Reminder::fromJson(reread[i]), reminders[i]);
    }
}

TEST(ReminderJsonTest, HandWrittenListDecodes) {
    std::ifstream in(std::string(HALVRICK_TEST_DATA) + "/habits/reminders.json");
    std::stringstream text;
    text << in.rdbuf();
    const json::Json list = json::parse(text.str());
    ASSERT_EQ(list.size(), 3u);
    // Lower-case ids read; unknown keys, also beside the schedule's case, are ignored; ranges are not
    // checked.
    EXPECT_EQ(Reminder::fromJson(list[0]), Reminder(uuid("6F1C2B7E-9A4D-4C3B-8E21-0D5A7B9C1E2F"),
                                                    "Stand up & stretch <now>", Schedule::every(45), true));
    EXPECT_EQ(Reminder::fromJson(list[1]), Reminder(uuid("A0B1C2D3-E4F5-4A6B-8C7D-9E0F1A2B3C4D"),
                                                    "Wasser trinken \u2615", Schedule::daily(9, 5), false));
    EXPECT_EQ(Reminder::fromJson(list[2]),
              Reminder(uuid("00000000-0000-4000-8000-000000000003"), "", Schedule::daily(24, 0), true));
}

TEST(ReminderJsonTest, ScheduleNeedsExactlyOneCase) {
    const std::string oneCase = "Invalid number of keys found, expected one.";
    EXPECT_EQ(decodeError(R"({})"), oneCase);
    EXPECT_EQ(decodeError(R"({"every": {"minutes": 5}, "daily": {"hour": 9, "minute": 0}})"), oneCase);
    EXPECT_EQ(decodeError(R"({"weekly": {"day": 1}})"), oneCase);
    EXPECT_EQ(Schedule::fromJson(json::parse(R"({"every": {"minutes": 5}, "note": 1})")), Schedule::every(5));
    EXPECT_EQ(Schedule::fromJson(json::parse(R"({"every": {"minutes": 5.0}})")), Schedule::every(5));
    for (const char* text :
         {R"({"every": {}})", R"({"every": {"minutes": 2.5}})", R"({"every": {"minutes": "5"}})",
          R"({"every": 5})", R"({"daily": {"hour": 9}})", R"({"daily": {"minute": 9}})",
          R"({"daily": {"hour": 9, "minute": null}})", R"([{"every": {"minutes": 5}}])"}) {
        const std::string error = decodeError(text);
        EXPECT_NE(error, "no error") << text;
        EXPECT_NE(error, oneCase) << text;
    }
}

TEST(ReminderJsonTest, ReminderNeedsAllFourKeys) {
    const json::Json valid = json::parse(R"({"id": "00000000-0000-4000-8000-000000000001", "text": "Water",
                                             "schedule": {"every": {"minutes": 30}}, "isEnabled": true})");
    EXPECT_NO_THROW(Reminder::fromJson(valid));
    for (const char* key : {"id", "text", "schedule", "isEnabled"}) {
        json::Json missing = valid;
        missing.erase(key);
        EXPECT_THROW(Reminder::fromJson(missing), Error) << key;
    }
    const std::vector<std::pair<const char*, json::Json>> wrong{
        {"id", "not-a-uuid"},
        {"id", "00000000-0000-4000-8000-00000000000"},
        {"id", 1},
        {"text", nullptr},
        {"isEnabled", "yes"},
        {"isEnabled", 1},
        {"schedule", json::parse(R"({"every": {"minutes": 30}, "daily": {"hour": 1, "minute": 0}})")},
    };
    for (const auto& [key, value] : wrong) {
        json::Json changed = valid;
        changed[key] = value;
        EXPECT_THROW(Reminder::fromJson(changed), Error) << key << " = " << value.dump();
    }
}

TEST(ReminderJsonTest, TextThatIsNotUtf8StillEncodes) {
    const Reminder reminder(uuid("00000000-0000-4000-8000-000000000001"), "Tea \xff\xfe time",
                            Schedule::every(5), true);
    std::string text;
    ASSERT_NO_THROW(text = json::Json::array({reminder.toJson()}).dump());
    EXPECT_EQ(Reminder::fromJson(json::parse(text)[0]).text, "Tea \uFFFD\uFFFD time");
}

} // namespace
} // namespace halvrick
