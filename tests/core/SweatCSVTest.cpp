#include "core/SweatCSV.h"

#include <clocale>
#include <gtest/gtest.h>
#include <locale>

namespace halvrick {
namespace {

TEST(SweatCSVTest, EmptyHistoryIsTheHeaderLine) {
    EXPECT_EQ(SweatCSV::text({}),
              "day,sweating_minutes,meltdown_minutes,active_minutes,prompts_shown,breaks_taken\n");
}

TEST(SweatCSVTest, MinutesWithOneDecimalAndCountsAsIntegers) {
    const std::vector<DailyTotals> days{
        DailyTotals("2026-12-31", Date(), 90, 1, 3600, 3, 2, 999),
        DailyTotals("2027-01-01", Date(), 0, 0, 0, 0, 0, 0),
        DailyTotals("2027-01-02", Date(), 14719, 0.5 * 60 * 0.1 + 3, 1e7, 12345678901234, -1, 0),
    };
    EXPECT_EQ(SweatCSV::text(days), std::string(SweatCSV::header) +
                                        "\n"
                                        "2026-12-31,1.5,0.0,60.0,3,2\n"
                                        "2027-01-01,0.0,0.0,0.0,0,0\n"
                                        "2027-01-02,245.3,0.1,166666.7,12345678901234,-1\n");
}

struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(SweatCSVTest, DecimalSeparatorIgnoresTheLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const char* cPrevious = std::setlocale(LC_ALL, nullptr);
    const std::string cSaved = cPrevious ? cPrevious : "C";
    // Where a decimal-comma locale is installed, the C library's formatting is switched too.
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            break;
        }
    }
    const std::string text =
        SweatCSV::text({DailyTotals("2026-03-05", Date(), 750, 0, 60000014.718, 0, 0, 0)});
    std::setlocale(LC_ALL, cSaved.c_str());
    std::locale::global(previous);
    EXPECT_EQ(text, std::string(SweatCSV::header) + "\n2026-03-05,12.5,0.0,1000000.2,0,0\n");
}

} // namespace
} // namespace halvrick
