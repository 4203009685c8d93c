#include "core/VitalsEventAge.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

const Calendar berlin("Europe/Berlin");
const Date now = berlin.date(2026, 3, 10, 15, 30);

TEST(VitalsEventAgeTest, LargestWholeUnitInWords) {
    struct Case {
        Date date;
        const char* text;
    };
    for (const Case& c : {Case{now, "now"},
                          Case{now - 0.5, "now"},
                          Case{now - 1, "1 second ago"},
                          Case{now - 59, "59 seconds ago"},
                          Case{now - 60, "1 minute ago"},
                          Case{now - 125, "2 minutes ago"},
                          Case{now - 3599, "59 minutes ago"},
                          Case{now - 3600, "1 hour ago"},
                          Case{now - 23 * 3600, "23 hours ago"},
                          Case{now - 86400, "yesterday"},
                          Case{now - 3 * 86400, "3 days ago"},
                          Case{now - 7 * 86400, "last week"},
                          Case{now - 20 * 86400, "2 weeks ago"},
                          Case{berlin.date(2026, 2, 10, 15, 30), "last month"},
                          Case{berlin.date(2026, 2, 10, 15, 31), "3 weeks ago"},
                          Case{berlin.date(2025, 11, 2, 8, 0), "4 months ago"},
                          Case{berlin.date(2025, 3, 10, 15, 30), "last year"},
                          Case{berlin.date(2023, 1, 1), "3 years ago"},
                          Case{now + 300, "in 5 minutes"},
                          Case{now + 86400, "tomorrow"},
                          Case{now + 8 * 86400, "next week"}}) {
        EXPECT_EQ(VitalsEventAge::text(c.date, now, berlin), c.text) << c.text;
    }
}

} // namespace
} // namespace halvrick
