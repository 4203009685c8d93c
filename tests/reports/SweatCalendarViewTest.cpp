#include "reports/SweatCalendarView.h"

#include "FixedLocale.h"
#include "HistoryFixture.h"
#include "QtTestApp.h"
#include "core/StatsLedger.h"
#include "reports/HistoryChartView.h"
#include "ui/PngExport.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using namespace history_fixture;

// Drawn colours pass through a premultiplied image: a step of rounding in each channel.
bool near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 &&
           std::abs(a.blue() - b.blue()) <= 3 && std::abs(a.alpha() - b.alpha()) <= 2;
}

DailyTotals hot(int back, double sweating, double meltdown = 0) {
    const Date day = calendar().startOfDay(daysAgo(back));
    return DailyTotals(StatsLedger::dayKey(day, calendar()), day, sweating, meltdown, 0, 0, 0, 0);
}

TEST(SweatCalendarViewTest, TheSummaryCountsHotDaysAndNamesTheFirstHottest) {
    ASSERT_TRUE(qtTestAppReady());
    const FixedLocale english("en_US");
    EXPECT_EQ(SweatCalendarPainting::summary({}, calendar()), "0 days with sweat. 0 min in total.");
    EXPECT_TRUE(SweatCalendarPainting::dayLines({}, calendar()).isEmpty());

    const std::vector<DailyTotals> days{hot(9, 0), hot(8, 20), hot(7, 1800, 1800), hot(6, 3000, 600),
                                        hot(5, 45)};
    EXPECT_EQ(SweatCalendarPainting::summary(days, calendar()),
              "4 days with sweat. 2 h 1 min in total. Worst day December 1, 1 h.");
    EXPECT_EQ(
        SweatCalendarPainting::dayLines(days, calendar()),
        (QStringList{"November 30: <1 min", "December 1: 1 h", "December 2: 1 h", "December 3: 1 min"}));
    // Cool days still name their worst, as "<1 min" below half a minute.
    EXPECT_EQ(SweatCalendarPainting::summary({hot(3, 10)}, calendar()),
              "1 days with sweat. <1 min in total. Worst day December 5, <1 min.");
}

TEST(SweatCalendarViewTest, EveryDayOfTheYearIsASquareAndOnlyTodayIsRinged) {
    ASSERT_TRUE(qtTestAppReady());
    const SweatCalendarPainting::Geometry geometry;
    EXPECT_EQ(geometry.height(), 98);
    EXPECT_EQ(geometry.width(53), 663);
    std::vector<DailyTotals> days{hot(0, 7200), hot(1, 7200), hot(2, 599), hot(3, 600)};
    const std::vector<CalendarWeek> weeks = SweatCalendar::weeks(days, now(), calendar());
    ASSERT_EQ(weeks.size(), 53u);
    QPalette palette = QApplication::palette();
    const QImage image = PngExport::render(
        [&](QPainter& p, QSizeF s) {
            SweatCalendarPainting::paint(p, s.width(), weeks, geometry,
                                         StatsLedger::dayKey(now(), calendar()), calendar(), palette);
        },
        QSizeF(geometry.width(53), geometry.height()), 2);
    image.save(QCoreApplication::applicationDirPath() + "/history-heatmap.png");
    const auto centre = [&](int column, int row) {
        return image.pixelColor(qRound((30 + column * 12 + 4.5) * 2), qRound((17 + row * 12 + 4.5) * 2));
    };
    const auto edge = [&](int column, int row) {
        return image.pixelColor((30 + column * 12) * 2, qRound((17 + row * 12 + 4.5) * 2));
    };
    // 8 December 2026 is a Tuesday: row 2 of the last column; the rest of that week lies ahead.
    EXPECT_TRUE(near(centre(52, 2), SweatCalendarPainting::heatColour(5, palette)));
    EXPECT_TRUE(near(centre(52, 1), SweatCalendarPainting::heatColour(5, palette)));
    EXPECT_TRUE(near(centre(52, 0), SweatCalendarPainting::heatColour(1, palette)));
    EXPECT_TRUE(near(centre(51, 6), SweatCalendarPainting::heatColour(2, palette)));
    EXPECT_TRUE(near(centre(30, 3), SweatCalendarPainting::heatColour(0, palette)));
    for (int row = 3; row < 7; ++row) {
        EXPECT_EQ(centre(52, row).alpha(), 0) << row;
    }
    // The ring darkens the edge of today's square only.
    EXPECT_FALSE(near(edge(52, 2), centre(52, 2)));
    EXPECT_TRUE(near(edge(52, 1), centre(52, 1)));
    EXPECT_TRUE(near(edge(51, 6), centre(51, 6)));
}

TEST(SweatCalendarViewTest, TheWidgetDescribesItselfToScreenReaders) {
    ASSERT_TRUE(qtTestAppReady());
    const FixedLocale english("en_US");
    SweatCalendarView view;
    view.setDays({hot(2, 3600)}, now(), calendar());
    EXPECT_EQ(view.accessibleName(), "The sweat calendar");
    EXPECT_EQ(view.accessibleDescription(),
              "1 days with sweat. 1 h in total. Worst day December 6, 1 h.\nDecember 6: 1 h");
    EXPECT_EQ(view.sizeHint(), QSize(663, 98));
}

TEST(SweatCalendarViewTest, ChartBarsStackSweatingUnderMeltdown) {
    ASSERT_TRUE(qtTestAppReady());
    const FixedLocale english("en_US");
    const std::vector<DailyTotals> days{hot(2, 3600), hot(1, 0), hot(0, 1800, 1800)};
    const HistoryChartPainting::Content content = HistoryChartPainting::make(days, calendar());
    ASSERT_EQ(content.ticks.size(), 3u);
    EXPECT_EQ(content.ticks[0].second, "Dec 6");
    EXPECT_EQ(content.ticks[2].second, "Dec 8");
    const QPalette palette = QApplication::palette();
    const QImage image =
        PngExport::render([&](QPainter& p, QSizeF s) { HistoryChartPainting::paint(p, s, content, palette); },
                          QSizeF(300, 210), 1);
    const QColor yellow = Theme::colour(Theme::Colour::yellow, palette);
    const QColor orange = Theme::colour(Theme::Colour::orange, palette);
    const auto count = [&](int x0, int x1, const QColor& colour) {
        int found = 0;
        for (int x = x0; x < x1; ++x) {
            for (int y = 40; y < 190; ++y) {
                found += image.pixelColor(x, y) == colour;
            }
        }
        return found;
    };
    // Three slots over the plot's width, less the minute labels at the right.
    EXPECT_GT(count(20, 60, yellow), 0);
    EXPECT_EQ(count(20, 60, orange), 0);
    EXPECT_EQ(count(110, 170, yellow) + count(110, 170, orange), 0);
    EXPECT_GT(count(200, 250, yellow), 0);
    EXPECT_GT(count(200, 250, orange), 0);
}

} // namespace
} // namespace halvrick
