#include "core/VitalsLedger.h"

#include "core/Error.h"

#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace halvrick {
namespace {

const Calendar berlin("Europe/Berlin");

Date at(int y, int mo, int d, int h = 12, int mi = 0) {
    return berlin.date(y, mo, d, h, mi);
}

MachineVitals sample(Date date, std::uint64_t memoryUsed = 4ull << 30, std::uint64_t swap = 0,
                     MemoryPressure pressure = MemoryPressure::normal,
                     std::uint64_t storageTotal = 1'000'000'000'000,
                     std::uint64_t storageFree = 500'000'000'000) {
    return MachineVitals(date, 16ull << 30, memoryUsed, 0, swap, pressure, storageTotal, storageFree);
}

std::size_t counter = 0;
std::size_t counting(std::size_t n) {
    return counter++ % n;
}

TEST(VitalsLedgerTest, RecordFoldsSamplesIntoTheLocalDay) {
    VitalsLedger ledger;
    // 23:30 UTC on 31 March is already 1 April in Berlin.
    const Date lateUtc = Calendar("UTC").date(2026, 3, 31, 23, 30);
    EXPECT_EQ(
        ledger.record(sample(lateUtc, 5ull << 30, 100, MemoryPressure::normal, 1000, 400), {}, 5, berlin),
        "2026-04-01");
    ledger.record(sample(lateUtc + 5, 3ull << 30, 900, MemoryPressure::normal, 1000, 300), {}, 5, berlin);
    ledger.record(sample(lateUtc + 10, 4ull << 30, 50, MemoryPressure::normal, 1000, 700), {}, 5, berlin);
    ledger.record(sample(lateUtc + 15, 4ull << 30, 50, MemoryPressure::normal, 0, 0), {}, 5, berlin);
    const auto day = ledger.day(lateUtc, berlin);
    ASSERT_TRUE(day.has_value());
    EXPECT_EQ(day->peakMemoryUsed, 5ull << 30);
    EXPECT_EQ(day->peakSwapUsed, 900u);
    EXPECT_EQ(day->minStorageFree, 300u);
    EXPECT_EQ(day->maxStorageFree, 700u);
    EXPECT_EQ(ledger.day(at(2026, 3, 31), berlin), std::nullopt);

    VitalsLedger noStorage;
    const std::string key =
        noStorage.record(sample(at(2026, 4, 2), 1, 0, MemoryPressure::normal, 0, 0), {}, 5, berlin);
    EXPECT_EQ(noStorage.days.at(key).minStorageFree, std::nullopt);
    EXPECT_EQ(noStorage.days.at(key).maxStorageFree, std::nullopt);
}

TEST(VitalsLedgerTest, PressureTimeCountsShortIntervalsOnly) {
    struct Row {
        MemoryPressure pressure;
        double interval;
        double warning;
        double critical;
    };
    const Row rows[] = {
        {MemoryPressure::critical, 5, 0, 5},    {MemoryPressure::warning, 59.5, 59.5, 0},
        {MemoryPressure::critical, 60, 0, 0},   {MemoryPressure::critical, 0, 0, 0},
        {MemoryPressure::warning, -5, 0, 0},    {MemoryPressure::normal, 5, 0, 0},
        {MemoryPressure::critical, 3600, 0, 0},
    };
    for (const Row& row : rows) {
        VitalsLedger ledger;
        const std::string key =
            ledger.record(sample(at(2026, 4, 1), 1, 0, row.pressure), {}, row.interval, berlin);
        EXPECT_EQ(ledger.days.at(key).warningSeconds, row.warning) << row.interval;
        EXPECT_EQ(ledger.days.at(key).criticalSeconds, row.critical) << row.interval;
    }
}

TEST(VitalsLedgerTest, AppPeaksKeepTheTenLargest) {
    VitalsLedger ledger;
    std::vector<AppMemory> apps;
    for (int i = 0; i < 11; ++i) {
        apps.emplace_back("app" + std::to_string(i), "App " + std::to_string(i), 1000 + i);
    }
    const Date noon = at(2026, 4, 1);
    const std::string key = ledger.record(sample(noon), apps, 5, berlin);
    EXPECT_EQ(ledger.days.at(key).apps.size(), 10u);
    EXPECT_FALSE(ledger.days.at(key).apps.contains("app0"));

    // Equal peaks at the boundary: the id that sorts first stays.
    VitalsLedger tie;
    std::vector<AppMemory> tied;
    for (int i = 0; i < 9; ++i) {
        tied.emplace_back("big" + std::to_string(i), "Big", 5000);
    }
    tied.emplace_back("zeta", "Zeta", 100);
    tied.emplace_back("alpha", "Alpha", 100);
    tie.record(sample(noon), tied, 5, berlin);
    EXPECT_TRUE(tie.days.at(key).apps.contains("alpha"));
    EXPECT_FALSE(tie.days.at(key).apps.contains("zeta"));

    const auto peaks = ledger.appPeaks(noon, berlin);
    ASSERT_EQ(peaks.size(), 10u);
    EXPECT_EQ(peaks.front().id, "app10");
    EXPECT_EQ(peaks.back().id, "app1");
    EXPECT_TRUE(ledger.appPeaks(at(2026, 4, 2), berlin).empty());
}

TEST(VitalsLedgerTest, AppPeakFollowsTheLatestSample) {
    VitalsLedger ledger;
    const Date first = at(2026, 4, 1, 9);
    ledger.record(sample(first), {{"web", "Web", 900}, {"idle", "Idle", 0}}, 5, berlin);
    ledger.record(sample(first + 5), {{"web", "Web Browser", 400}}, 5, berlin);
    ledger.record(sample(first + 10), {{"web", "Ignored", 0}}, 5, berlin);
    const VitalsDay day = *ledger.day(first, berlin);
    EXPECT_FALSE(day.apps.contains("idle"));
    EXPECT_EQ(day.apps.at("web"), AppMemoryPeak("web", "Web Browser", 900, 400, first + 5));

    // Ties in the listing go by name.
    ledger.record(sample(first + 15), {{"b", "Beta", 900}, {"a", "Zulu", 900}}, 5, berlin);
    const auto peaks = ledger.appPeaks(first, berlin);
    ASSERT_EQ(peaks.size(), 3u);
    EXPECT_EQ(peaks[0].name, "Beta");
    EXPECT_EQ(peaks[1].name, "Web Browser");
    EXPECT_EQ(peaks[2].name, "Zulu");
}

TEST(VitalsLedgerTest, SnapshotsAreSpaced) {
    VitalsLedger ledger;
    const Date t = at(2026, 4, 1, 8);
    EXPECT_TRUE(ledger.addSnapshot(sample(t), 300));
    EXPECT_FALSE(ledger.addSnapshot(sample(t + 299), 300));
    EXPECT_TRUE(ledger.addSnapshot(sample(t + 300), 300));
    ASSERT_EQ(ledger.snapshots.size(), 2u);
    EXPECT_EQ(ledger.snapshots.back(), sample(t + 300).snapshot());
}

// A snapshot dated 500 days ahead (a clock set wrong for a moment) holds nothing back once the clock is
// right: the series goes on in date order, spaced from both neighbours.
TEST(VitalsLedgerTest, ASnapshotUnderAClockSetAheadDoesNotStopTheSeries) {
    VitalsLedger ledger;
    const Date t = at(2026, 4, 1, 8);
    const Date ahead = t + 500 * 86400.0;
    ASSERT_TRUE(ledger.addSnapshot(sample(t), 900));
    ASSERT_TRUE(ledger.addSnapshot(sample(ahead), 900));
    EXPECT_TRUE(ledger.addSnapshot(sample(t + 900), 900));
    EXPECT_FALSE(ledger.addSnapshot(sample(t + 905), 900));
    EXPECT_TRUE(ledger.addSnapshot(sample(t + 1800), 900));
    EXPECT_FALSE(ledger.addSnapshot(sample(ahead - 899), 900)) << "too close to the later one";
    std::vector<Date> dates;
    for (const VitalsSnapshot& s : ledger.snapshots) {
        dates.push_back(s.date);
    }
    EXPECT_EQ(dates, (std::vector<Date>{t, t + 900, t + 1800, ahead}));
}

TEST(VitalsLedgerTest, SnapshotLookups) {
    VitalsLedger ledger;
    const Date morning = at(2026, 4, 1, 0, 10);
    ledger.addSnapshot(sample(at(2026, 3, 31, 23, 50)), 0);
    ledger.addSnapshot(sample(morning), 0);
    ledger.addSnapshot(sample(morning + 600), 0);
    ledger.addSnapshot(sample(morning + 1200), 0);

    EXPECT_EQ(ledger.firstSnapshot(at(2026, 4, 1, 18), berlin).value().date, morning);
    EXPECT_EQ(ledger.firstSnapshot(at(2026, 3, 31, 9), berlin).value().date, at(2026, 3, 31, 23, 50));
    EXPECT_EQ(ledger.firstSnapshot(at(2026, 4, 2), berlin), std::nullopt);

    // Equally far before and after: the older wins.
    EXPECT_EQ(ledger.snapshot(morning + 300, 300).value().date, morning);
    EXPECT_EQ(ledger.snapshot(morning + 700, 3600).value().date, morning + 600);
    EXPECT_EQ(ledger.snapshot(morning + 2000, 800).value().date, morning + 1200);
    EXPECT_EQ(ledger.snapshot(morning + 2000, 799), std::nullopt);
}

TEST(VitalsLedgerTest, EventsCoalesceRepeatsWithinAnHour) {
    VitalsLedger ledger;
    const Date t = at(2026, 4, 1, 10);
    ledger.recordEvent(VitalsEventKind::storageFreed(5), t, counting);
    ledger.recordEvent(VitalsEventKind::storageFreed(9), t + 1800, counting);
    ASSERT_EQ(ledger.events.size(), 1u);
    EXPECT_EQ(ledger.events[0].date, t + 1800);
    EXPECT_EQ(ledger.events[0].kind, VitalsEventKind::storageFreed(5));
    // A clock set back still coalesces.
    ledger.recordEvent(VitalsEventKind::storageFreed(1), t - 7200, counting);
    EXPECT_EQ(ledger.events.size(), 1u);
    EXPECT_EQ(ledger.events[0].date, t - 7200);

    VitalsLedger broken;
    broken.recordEvent(VitalsEventKind::storageFreed(5), t, counting);
    broken.recordEvent(VitalsEventKind::swapStarted(1), t + 900, counting);
    broken.recordEvent(VitalsEventKind::storageFreed(9), t + 1800, counting);
    EXPECT_EQ(broken.events.size(), 3u);
    broken.recordEvent(VitalsEventKind::storageFreed(9), t + 1800 + 3600, counting);
    EXPECT_EQ(broken.events.size(), 4u);
    EXPECT_NE(broken.events[0].id, broken.events[2].id);
}

TEST(VitalsLedgerTest, EventLogIsCapped) {
    VitalsLedger ledger;
    const Date t = at(2026, 4, 1, 10);
    for (int i = 0; i < 201; ++i) {
        const auto kind = i % 2 == 0 ? VitalsEventKind::storageFreed(i) : VitalsEventKind::storageFilled(i);
        ledger.recordEvent(kind, t + i, counting);
    }
    ASSERT_EQ(ledger.events.size(), VitalsLedger::eventLimit);
    EXPECT_EQ(ledger.events.front().kind, VitalsEventKind::storageFilled(1));
    const auto recent = ledger.recentEvents();
    EXPECT_EQ(recent.front().kind, VitalsEventKind::storageFreed(200));
    EXPECT_EQ(recent.back().kind, VitalsEventKind::storageFilled(1));
}

TEST(VitalsLedgerTest, FolderSizesAndTheirDates) {
    VitalsLedger ledger;
    const Date monday = at(2026, 3, 30, 9);
    ledger.recordFolderSizes({}, monday, berlin);
    EXPECT_TRUE(ledger.days.empty());
    EXPECT_EQ(ledger.lastFolderMeasurementDate(), std::nullopt);

    ledger.recordFolderSizes({{"downloads", 10}, {"desktop", 20}}, monday, berlin);
    ledger.recordFolderSizes({{"downloads", 15}}, monday + 60, berlin);
    EXPECT_EQ(ledger.days.at("2026-03-30").folderBytes,
              (std::map<std::string, std::uint64_t>{{"downloads", 15}, {"desktop", 20}}));
    EXPECT_EQ(ledger.folderMeasurementDate(monday, berlin), monday + 60);
    ledger.recordFolderSizes({}, monday + 120, berlin);
    EXPECT_EQ(ledger.lastFolderMeasurementDate(), monday + 60);

    const Date tuesday = at(2026, 3, 31, 9);
    EXPECT_TRUE(ledger.hasFolderSizes(monday, berlin));
    EXPECT_FALSE(ledger.hasFolderSizes(tuesday, berlin));
    EXPECT_FALSE(ledger.hasEarlierFolderSizes(monday, berlin));
    EXPECT_TRUE(ledger.hasEarlierFolderSizes(tuesday, berlin));
    ledger.record(sample(tuesday), {}, 5, berlin);
    EXPECT_FALSE(ledger.hasFolderSizes(tuesday, berlin));
    EXPECT_EQ(ledger.folderMeasurementDate(tuesday, berlin), std::nullopt);
}

TEST(VitalsLedgerTest, FolderComparisonsLookBackToTheLastMeasurement) {
    VitalsLedger ledger;
    const Date today = at(2026, 4, 10, 9);
    ledger.recordFolderSizes({{"downloads", 100}, {"desktop", 5}}, at(2026, 4, 7), berlin);
    ledger.recordFolderSizes({{"downloads", 300}}, at(2026, 4, 9), berlin);
    ledger.record(sample(at(2026, 4, 9, 13)), {}, 5, berlin);
    EXPECT_TRUE(ledger.folderComparisons(at(2026, 4, 7), berlin).empty());

    ledger.recordFolderSizes({{"downloads", 50}, {"desktop", 255}, {"documents", 1}}, today, berlin);
    const auto comparisons = ledger.folderComparisons(today, berlin);
    ASSERT_EQ(comparisons.size(), 2u); // documents was never measured before
    // Equal changes of 250: ties by key.
    EXPECT_EQ(comparisons[0], FolderGrowth("desktop", 5, 255, "2026-04-07", at(2026, 4, 7)));
    EXPECT_EQ(comparisons[1], FolderGrowth("downloads", 300, 50, "2026-04-09", at(2026, 4, 9)));
    EXPECT_EQ(comparisons[1].delta(), -250);
    EXPECT_FALSE(comparisons[1].isGrowth());

    EXPECT_EQ(ledger.folderGrowth(today, 250, 4, berlin).size(), 2u);
    EXPECT_EQ(ledger.folderGrowth(today, 251, 4, berlin).size(), 0u);
    EXPECT_EQ(ledger.folderGrowth(today, 0, 1, berlin), std::vector<FolderGrowth>{comparisons[0]});
    EXPECT_TRUE(ledger.folderGrowth(today, 0, -1, berlin).empty());
    EXPECT_TRUE(ledger.folderComparisons(at(2026, 4, 11), berlin).empty());
}

TEST(VitalsLedgerTest, FolderTrendsOverTheLastDays) {
    VitalsLedger ledger;
    // Summer time starts in Berlin on 29 March 2026 inside this week.
    const Date now = at(2026, 4, 2, 18);
    ledger.recordFolderSizes({{"downloads", 100}, {"desktop", 7}}, at(2026, 3, 27, 8), berlin);
    EXPECT_TRUE(ledger.folderTrends(7, now, berlin).empty());

    ledger.recordFolderSizes({{"documents", 1}}, at(2026, 3, 30, 8), berlin);
    ledger.recordFolderSizes({{"downloads", 40}, {"desktop", 9}}, at(2026, 4, 2, 8), berlin);
    ledger.recordFolderSizes({{"downloads", 999}}, at(2026, 3, 26, 8), berlin); // outside the week
    const auto trends = ledger.folderTrends(7, now, berlin);
    ASSERT_EQ(trends.size(), 2u);
    EXPECT_EQ(trends[0], FolderTrend("downloads", {{at(2026, 3, 27, 0), 100}, {at(2026, 4, 2, 0), 40}}));
    EXPECT_EQ(trends[0].delta(), -60);
    EXPECT_FALSE(trends[0].isGrowth());
    EXPECT_EQ(trends[1].id, "desktop");
    EXPECT_EQ(trends[1].delta(), 2);

    EXPECT_TRUE(ledger.folderTrends(0, now, berlin).empty());
    EXPECT_TRUE(ledger.folderTrends(-3, now, berlin).empty());
    EXPECT_EQ(FolderTrend("x", {{now, 5}}).delta(), 0);
    EXPECT_TRUE(FolderTrend("x", {{now, 5}}).isGrowth());
    EXPECT_TRUE(FolderGrowth("x", 5, 5, "2026-04-01", std::nullopt).isGrowth());
}

TEST(VitalsLedgerTest, PruneKeepsRecentDaysAndSnapshots) {
    VitalsLedger ledger;
    for (int day = 1; day <= 31; ++day) {
        ledger.record(sample(at(2026, 3, day, 0, 30)), {}, 5, berlin);
        ledger.addSnapshot(sample(at(2026, 3, day, 0, 30)), 300);
    }
    ledger.addSnapshot(sample(at(2026, 3, 31, 23, 59)), 300);
    ledger.recordEvent(VitalsEventKind::pressureCritical(), at(2026, 1, 1), counting);
    ledger.prune(30, 14, at(2026, 3, 31, 15), berlin);
    EXPECT_EQ(ledger.days.begin()->first, "2026-03-02");
    EXPECT_EQ(ledger.days.size(), 30u);
    EXPECT_EQ(ledger.snapshots.front().date, at(2026, 3, 17, 0, 30));
    EXPECT_EQ(ledger.snapshots.size(), 16u);
    EXPECT_EQ(ledger.events.size(), 1u);
}

TEST(VitalsLedgerTest, ResetEmptiesEverything) {
    VitalsLedger ledger;
    ledger.record(sample(at(2026, 4, 1)), {{"a", "A", 1}}, 5, berlin);
    ledger.addSnapshot(sample(at(2026, 4, 1)), 300);
    ledger.recordEvent(VitalsEventKind::pressureCritical(), at(2026, 4, 1), counting);
    ledger.reset();
    EXPECT_EQ(ledger, VitalsLedger());
}

TEST(VitalsLedgerTest, JsonRoundTrip) {
    VitalsLedger ledger;
    const Date t = at(2026, 4, 1, 9, 30) + 0.25;
    ledger.record(sample(t, 5ull << 30, 700'000'000, MemoryPressure::critical), {{"a", "Äpp “quoted”", 123}},
                  5, berlin);
    ledger.addSnapshot(sample(t), 300);
    ledger.recordEvent(VitalsEventKind::storageLow(3), t, counting);
    ledger.recordEvent(VitalsEventKind::pressureCritical(), t + 1, counting);
    ledger.recordFolderSizes({{"downloads", 42}}, t, berlin);
    const std::string text = ledger.toJson().dump();
    EXPECT_EQ(VitalsLedger::fromJson(json::parse(text)), ledger);
    EXPECT_EQ(VitalsLedger::fromJson(VitalsLedger().toJson()), VitalsLedger());
}

TEST(VitalsLedgerTest, HandWrittenFileDecodes) {
    std::ifstream file(HALVRICK_TEST_DATA "/vitals/vitals.json");
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    const VitalsLedger ledger = VitalsLedger::fromJson(json::parse(text.str()));

    ASSERT_EQ(ledger.days.size(), 2u);
    const VitalsDay& monday = ledger.days.at("2026-03-30");
    EXPECT_EQ(monday.peakMemoryUsed, 12ull << 30);
    EXPECT_EQ(monday.minStorageFree, 210'000'000'000u);
    EXPECT_EQ(monday.warningSeconds, 45.0);
    EXPECT_EQ(monday.apps.at("code").lastSeen, Date::sinceReference(796592700.5));
    const VitalsDay& tuesday = ledger.days.at("2026-03-31");
    EXPECT_EQ(tuesday.peakSwapUsed, 0u);
    EXPECT_EQ(tuesday.minStorageFree, std::nullopt);
    EXPECT_EQ(tuesday.criticalSeconds, 0.0);
    ASSERT_EQ(ledger.snapshots.size(), 2u);
    EXPECT_EQ(ledger.snapshots[1].pressure, MemoryPressure::warning);
    ASSERT_EQ(ledger.events.size(), 3u);
    EXPECT_EQ(ledger.events[1].id.toString(), "0E9A4B6C-1D2F-4A3B-9C8D-7E6F5A4B3C2D");
    EXPECT_EQ(ledger.events[2].kind, VitalsEventKind::storageLow(99'000'000'000));

    // The file's dates fall where the Berlin calendar puts them.
    const Date tuesdayMorning = berlin.date(2026, 3, 31, 10);
    EXPECT_EQ(ledger.firstSnapshot(tuesdayMorning, berlin).value().date, tuesdayMorning);
    const auto comparisons = ledger.folderComparisons(tuesdayMorning, berlin);
    ASSERT_EQ(comparisons.size(), 2u);
    EXPECT_EQ(comparisons[0], FolderGrowth("downloads", 5'000'000'000, 2'000'000'000, "2026-03-30",
                                           berlin.date(2026, 3, 30, 10)));
    EXPECT_EQ(ledger.appPeaks(berlin.date(2026, 3, 30, 22), berlin).front().name, "Firefox ESR");
}

TEST(VitalsLedgerTest, LedgerJsonNeedsAllThreeLists) {
    for (const char* text :
         {R"({"days": {}, "snapshots": []})", R"({"days": {}, "events": []})",
          R"({"snapshots": [], "events": []})", R"({"days": [], "snapshots": [], "events": []})",
          R"({"days": {}, "snapshots": {}, "events": []})",
          R"({"days": {}, "snapshots": [], "events": null})",
          R"({"days": {"2026-03-30": {}}, "snapshots": [], "events": []})"}) {
        EXPECT_THROW(VitalsLedger::fromJson(json::parse(text)), Error) << text;
    }
}

// A ledger as the decoder accepts it, one figure of which is out of range.
VitalsLedger ledgerHolding(const std::string& member, const std::string& stored) {
    std::map<std::string, std::string> figures{
        {"peakMemoryUsed", "4000"}, {"peakSwapUsed", "0"},    {"minStorageFree", "100"},
        {"maxStorageFree", "200"},  {"warningSeconds", "30"}, {"criticalSeconds", "5"},
        {"peakBytes", "3000"},      {"lastBytes", "2000"},    {"downloads", "1000"},
        {"memoryUsed", "4000"},     {"swapUsed", "0"},        {"storageFree", "150"}};
    figures.at(member) = stored;
    const auto f = [&figures](const char* key) { return "\"" + std::string(key) + "\": " + figures.at(key); };
    const std::string day = R"({"day": "2026-04-10", )" + f("peakMemoryUsed") + ", " + f("peakSwapUsed") +
                            ", " + f("minStorageFree") + ", " + f("maxStorageFree") + ", " +
                            f("warningSeconds") + ", " + f("criticalSeconds") +
                            R"(, "apps": {"x": {"id": "x", "name": "X", )" + f("peakBytes") + ", " +
                            f("lastBytes") + R"(, "lastSeen": 0}}, "folderBytes": {)" + f("downloads") + "}}";
    const std::string snapshot = R"({"date": 0, "pressure": 1, )" + f("memoryUsed") + ", " + f("swapUsed") +
                                 ", " + f("storageFree") + "}";
    return VitalsLedger::fromJson(json::parse(R"({"days": {"2026-04-10": )" + day + R"(}, "snapshots": [)" +
                                              snapshot + R"(], "events": []})"));
}

double vitalsFigure(const VitalsLedger& ledger, const std::string& member) {
    const VitalsDay& d = ledger.days.at("2026-04-10");
    const AppMemoryPeak& peak = d.apps.at("x");
    const VitalsSnapshot& snap = ledger.snapshots.at(0);
    const std::map<std::string, double> figures{
        {"peakMemoryUsed", static_cast<double>(d.peakMemoryUsed)},
        {"peakSwapUsed", static_cast<double>(d.peakSwapUsed)},
        {"minStorageFree", static_cast<double>(d.minStorageFree.value())},
        {"maxStorageFree", static_cast<double>(d.maxStorageFree.value())},
        {"warningSeconds", d.warningSeconds},
        {"criticalSeconds", d.criticalSeconds},
        {"peakBytes", static_cast<double>(peak.peakBytes)},
        {"lastBytes", static_cast<double>(peak.lastBytes)},
        {"downloads", static_cast<double>(d.folderBytes.at("downloads"))},
        {"memoryUsed", static_cast<double>(snap.memoryUsed)},
        {"swapUsed", static_cast<double>(snap.swapUsed)},
        {"storageFree", static_cast<double>(snap.storageFree)}};
    return figures.at(member);
}

TEST(VitalsLedgerFiguresTest, EveryFigureIsMendedToWhatTheLedgerCanUse) {
    struct Case {
        const char* member;
        const char* stored;
        double mended;
    };
    const double largest = 9223372036854775807.0;
    const std::vector<Case> cases{
        {"warningSeconds", "-60", 0},      {"warningSeconds", "1e300", 90000},
        {"criticalSeconds", "-1e300", 0},  {"criticalSeconds", "90001", 90000},
        {"criticalSeconds", "3600", 3600},
    };
    std::vector<Case> all = cases;
    for (const char* member :
         {"peakMemoryUsed", "peakSwapUsed", "minStorageFree", "maxStorageFree", "peakBytes", "lastBytes",
          "downloads", "memoryUsed", "swapUsed", "storageFree"}) {
        all.push_back({member, "18446744073709551615", largest});
        all.push_back({member, "1.8e19", largest});
        all.push_back({member, "9223372036854775807", largest});
        all.push_back({member, "17179869184", 17179869184.0});
    }
    for (const Case& c : all) {
        VitalsLedger ledger = ledgerHolding(c.member, c.stored);
        const bool odd = vitalsFigure(ledger, c.member) != c.mended;
        EXPECT_EQ(ledger.mendFigures(), odd ? 1U : 0U) << c.member << " " << c.stored;
        EXPECT_EQ(vitalsFigure(ledger, c.member), c.mended) << c.member << " " << c.stored;
    }
}

// Without the mending a folder of 2^64 - 1 bytes that grew from 1000 read as one that shrank.
TEST(VitalsLedgerFiguresTest, AMendedFolderSizeComparesWithTheRightSign) {
    VitalsLedger ledger = ledgerHolding("downloads", "18446744073709551615");
    ledger.recordFolderSizes({{"downloads", 1000}}, at(2026, 4, 9), berlin);
    ledger.mendFigures();
    const auto comparisons = ledger.folderComparisons(at(2026, 4, 10), berlin);
    ASSERT_EQ(comparisons.size(), 1U);
    EXPECT_GT(comparisons[0].delta(), 0);
    EXPECT_TRUE(comparisons[0].isGrowth());
    EXPECT_EQ(comparisons[0].delta(), std::numeric_limits<std::int64_t>::max() - 1000);
}

} // namespace
} // namespace halvrick
