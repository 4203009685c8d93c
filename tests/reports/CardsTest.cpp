#include "FixedLocale.h"
#include "HistoryFixture.h"
#include "QtTestApp.h"
#include "reports/CulpritKey.h"
#include "reports/GradeCard.h"
#include "reports/ReportCard.h"
#include "ui/PngExport.h"

#include <QImage>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using namespace history_fixture;

bool near(QColor a, QColor b, int tolerance = 3) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

DailyTotals today(double longestStretch) {
    return DailyTotals("2026-12-08", now(), 1800, 600, 14400, 3, 2, longestStretch);
}

TEST(CardsTest, EachGradeLetterHasItsGradientAndTint) {
    ASSERT_TRUE(qtTestAppReady());
    struct Case {
        DailyGrade::Letter letter;
        QColor top;
        QColor bottom;
        QColor tint;
    };
    const std::vector<Case> cases{
        {DailyGrade::Letter::a, QColor(235, 246, 255), QColor(201, 228, 245), QColor(0x2E, 0x7D, 0x5B)},
        {DailyGrade::Letter::b, QColor(235, 246, 255), QColor(201, 228, 245), QColor(0x2E, 0x7D, 0x5B)},
        {DailyGrade::Letter::c, QColor(255, 244, 230), QColor(247, 217, 184), QColor(0xB2, 0x6A, 0x00)},
        {DailyGrade::Letter::d, QColor(255, 236, 232), QColor(243, 199, 190), QColor(0xB2, 0x40, 0x2E)},
        {DailyGrade::Letter::f, QColor(255, 236, 232), QColor(243, 199, 190), QColor(0xB2, 0x40, 0x2E)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GradeCard::tint(c.letter), c.tint);
        const GradeCard::Content content{DailyGrade(50, c.letter, {}), today(900), std::nullopt,
                                         Personality::mild, "Tuesday, December 8"};
        const QImage image = PngExport::render(
            [&](QPainter& p, QSizeF s) { GradeCard::paint(p, s, content); }, CardLook::size, CardLook::scale);
        ASSERT_EQ(image.size(), QSize(1200, 1200));
        EXPECT_TRUE(near(image.pixelColor(4, 1), c.top)) << toString(c.letter);
        EXPECT_TRUE(near(image.pixelColor(4, 1198), c.bottom)) << toString(c.letter);
        // The letter sits in its tile, in its tint.
        bool tinted = false;
        for (int x = 100; x < 480 && !tinted; x += 2) {
            tinted = near(image.pixelColor(x, 340), c.tint, 8);
        }
        EXPECT_TRUE(tinted) << toString(c.letter);
    }
    EXPECT_EQ(GradeCard::tint(DailyGrade::Letter::c, true, true), QColor(0xFF, 0xC4, 0x6B));
    EXPECT_EQ(GradeCard::tint(DailyGrade::Letter::d, true, false), QColor(0xE7, 0x7B, 0x68));
    EXPECT_EQ(GradeCard::tint(DailyGrade::Letter::a, false, true), QColor(0x1E, 0x5C, 0x42));
}

TEST(CardsTest, GradeStatsFallBackToActiveTimeAndNobody) {
    ASSERT_TRUE(qtTestAppReady());
    const std::vector<CardLook::Stat> withStretch{
        {"40 min", "Hot time"}, {"2", "Breaks"}, {"15 min", "Longest stretch"}};
    EXPECT_EQ(GradeCard::stats(today(900)), withStretch);
    EXPECT_EQ(GradeCard::stats(today(0))[2].first, "4 h");
    GradeCard::Content content{
        DailyGrade(90, DailyGrade::Letter::a, {}), today(0), std::nullopt, Personality::mild, {}};
    EXPECT_EQ(GradeCard::culpritLine(content), "Nobody in particular.");
    content.culprit = "Fire\u202Efox\n";
    EXPECT_EQ(GradeCard::culpritLine(content), QString::fromUtf8("Firefox\uFFFD"));
}

TEST(CardsTest, TheReportCardHeadsItsCulpritsByPeriodAndShowsThree) {
    ASSERT_TRUE(qtTestAppReady());
    StatsTotals totals;
    totals.sweatingSeconds = 3600;
    totals.meltdownSeconds = 600;
    totals.activeSeconds = 7200;
    totals.breaksTaken = 4;
    totals.dayCount = 3;
    totals.firstDay = daysAgo(2);
    totals.lastDay = daysAgo(0);
    totals.culprits = {{"/usr/share/applications/firefox.desktop", "Firefox", 900},
                       {"rustc", "rustc", 800},
                       {"linux", "Linux itself", 700},
                       {"node", "node", 600},
                       {"java", "java", 500}};
    std::vector<AppKey> looked;
    const auto icons = [&looked](const AppKey& key, int pixels) {
        looked.push_back(key);
        return fakeIcon(key, pixels);
    };
    for (const ReportPeriod period : allReportPeriods) {
        const ReportCard::Content content = ReportCard::make(period, totals, now(), calendar(), icons);
        EXPECT_EQ(content.heading, period == ReportPeriod::allTime ? "HALL OF FLAME" : "TOP CULPRITS");
    }
    looked.clear();
    const FixedLocale english("en_US");
    const ReportCard::Content month = ReportCard::make(ReportPeriod::month, totals, now(), calendar(), icons);
    EXPECT_EQ(month.title, "Monthly Sweat Report");
    EXPECT_EQ(month.range, "Dec 6 – Dec 8");
    EXPECT_EQ(month.hotTime, "1 h 10 min");
    const std::vector<CardLook::Stat> stats{
        {"10 min", "IN MELTDOWN"}, {"2 h", "AT THE COMPUTER"}, {"4", "BREAKS TAKEN"}, {"3", "DAYS TRACKED"}};
    EXPECT_EQ(month.stats, stats);
    ASSERT_EQ(month.culprits.size(), 3u);
    EXPECT_EQ(month.culprits[0].name, "Firefox");
    EXPECT_EQ(month.culprits[0].duration, "15 min");
    EXPECT_EQ(month.culprits[0].icon.size(), QSize(56, 56));
    ASSERT_EQ(looked.size(), 3u);
    EXPECT_EQ(looked[0].kind, AppKey::Kind::app);
    EXPECT_EQ(looked[1].kind, AppKey::Kind::process);
    EXPECT_EQ(looked[2], AppKey::system());

    const ReportCard::Content empty =
        ReportCard::make(ReportPeriod::week, StatsTotals(), now(), calendar(), icons);
    EXPECT_TRUE(empty.range.isEmpty());
    EXPECT_EQ(empty.hotTime, "0 min");
    EXPECT_EQ(empty.stats[2].first, "0");
    EXPECT_TRUE(empty.culprits.empty());
    const QImage image = PngExport::render([&](QPainter& p, QSizeF s) { ReportCard::paint(p, s, empty); },
                                           CardLook::size, CardLook::scale);
    EXPECT_TRUE(near(image.pixelColor(4, 1), QColor(235, 246, 255)));
    EXPECT_TRUE(near(image.pixelColor(1195, 1198), QColor(201, 228, 245)));
}

TEST(CardsTest, CulpritIdsPickTheKindOfKey) {
    EXPECT_EQ(culpritKey("/usr/share/applications/gimp.desktop", "GIMP"),
              AppKey(AppKey::Kind::app, "/usr/share/applications/gimp.desktop", "GIMP"));
    EXPECT_EQ(culpritKey("gimp", "gimp"), AppKey(AppKey::Kind::process, "gimp", "gimp"));
    EXPECT_EQ(culpritKey("linux", "Linux itself"), AppKey::system());
    EXPECT_EQ(culpritKey("", ""), AppKey(AppKey::Kind::process, "", ""));
}

} // namespace
} // namespace halvrick
