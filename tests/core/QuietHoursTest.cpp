#include "core/QuietHours.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvrick {
namespace {

struct Moment {
    int hour;
    int minute;
    int second;
    bool inside;
};

struct Case {
    std::string name;
    QuietHours hours;
    std::vector<Moment> moments;
};

class QuietHoursContainsTest : public testing::TestWithParam<Case> {};

TEST_P(QuietHoursContainsTest, AnswersByMinuteOfTheLocalDay) {
    const Calendar berlin("Europe/Berlin");
    const Case& c = GetParam();
    for (const Moment& m : c.moments) {
        const Date date = berlin.date(2026, 3, 14, m.hour, m.minute, m.second);
        EXPECT_EQ(c.hours.contains(date, berlin), m.inside) << m.hour << ":" << m.minute << ":" << m.second;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Periods, QuietHoursContainsTest,
    testing::Values(
        Case{"WrapsMidnight",
             {1320, 480},
             {{22, 0, 0, true},
              {23, 30, 0, true},
              {0, 0, 0, true},
              {7, 59, 0, true},
              {7, 59, 59, true},
              {8, 0, 0, false},
              {12, 0, 0, false},
              {21, 59, 59, false}}},
        Case{"WithinOneDay",
             {540, 1020},
             {{9, 0, 0, true}, {16, 59, 59, true}, {17, 0, 0, false}, {8, 59, 59, false}, {0, 0, 0, false}}},
        Case{"EqualEndsAreEmpty", {480, 480}, {{8, 0, 0, false}, {7, 59, 0, false}, {20, 0, 0, false}}},
        Case{"FromMidnight",
             {0, 60},
             {{0, 0, 0, true}, {0, 59, 59, true}, {1, 0, 0, false}, {23, 59, 0, false}}}),
    [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(QuietHoursTest, ReadsTheMinuteInTheCalendarsZone) {
    // 21:30 UTC is 22:30 in Berlin in winter: inside there, outside in UTC.
    const Date date = Calendar("UTC").date(2026, 1, 10, 21, 30);
    const QuietHours night{1320, 480};
    EXPECT_TRUE(night.contains(date, Calendar("Europe/Berlin")));
    EXPECT_FALSE(night.contains(date, Calendar("UTC")));
}

TEST(QuietHoursTest, JsonRoundTripKeepsBothKeys) {
    const QuietHours decoded =
        QuietHours::fromJson(json::parse(R"({"startMinute": 1320, "endMinute": 480, "x": 1})"));
    EXPECT_EQ(decoded, (QuietHours{1320, 480}));
    EXPECT_EQ(decoded.toJson(), json::parse(R"({"startMinute": 1320, "endMinute": 480})"));
    EXPECT_EQ(QuietHours::fromJson(decoded.toJson()), decoded);
}

TEST(QuietHoursTest, DecodingNeedsBothIntegerKeys) {
    for (const char* text :
         {R"({"startMinute": 1320})", R"({"endMinute": 480})", R"({"startMinute": 1320, "endMinute": 7.5})",
          R"({"startMinute": "22:00", "endMinute": 480})", R"([1320, 480])"}) {
        EXPECT_THROW(QuietHours::fromJson(json::parse(text)), Error) << text;
    }
}

} // namespace
} // namespace halvrick
