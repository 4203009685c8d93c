#include "core/FolderSection.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

using FolderSection::Row;
using FolderSection::RowText;
using FolderSection::State;

const std::string minus = "\u2212";
const std::vector<std::string> keys{"downloads", "desktop", "documents"};

std::string name(std::string_view key) {
    std::string text(key);
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

FolderTrend trend(const std::string& id, std::uint64_t first, std::uint64_t last) {
    return FolderTrend(id, {{Date::since1970(0), first}, {Date::since1970(86400), last}});
}

TEST(FolderSectionTest, StateMeasuringFirstThenRowsThenWaiting) {
    struct Case {
        bool measuring, measuredToday, denied;
        State state;
    };
    for (const Case& c : {Case{true, true, true, State::measuring}, Case{true, false, false, State::measuring},
                          Case{false, true, false, State::rows}, Case{false, false, true, State::rows},
                          Case{false, false, false, State::waiting}}) {
        EXPECT_EQ(FolderSection::state(c.measuring, c.measuredToday, c.denied), c.state)
            << c.measuring << c.measuredToday << c.denied;
    }
}

TEST(FolderSectionTest, EveryFolderGetsARowInOrderWithItsFirstComparison) {
    const std::vector<FolderGrowth> comparisons{FolderGrowth("documents", 1, 2, "2026-03-04", std::nullopt),
                                                FolderGrowth("documents", 9, 9, "2026-03-01", std::nullopt)};
    const std::vector<Row> rows =
        FolderSection::rows(keys, comparisons, {{"documents", 2}, {"downloads", 7}}, {"desktop"});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (Row{"downloads", std::nullopt, 7, false}));
    EXPECT_EQ(rows[1], (Row{"desktop", std::nullopt, std::nullopt, true}));
    EXPECT_EQ(rows[2], (Row{"documents", comparisons[0], 2, false}));
}

TEST(FolderSectionTest, RowTextsForEachMiddle) {
    const auto grew = FolderSection::rowText({"downloads", FolderGrowth("downloads", 4'200'000'000, 5'600'000'000,
                                                                        "2026-03-04", std::nullopt),
                                              5'600'000'000, false});
    EXPECT_EQ(grew, (RowText{RowText::Middle::comparison, "4.2 GB → 5.6 GB", "+1.4 GB", true, true}));
    const auto shrank = FolderSection::rowText(
        {"desktop", FolderGrowth("desktop", 3'000'000'000, 1'000'000'000, "2026-03-01", std::nullopt), {}, false});
    EXPECT_EQ(shrank, (RowText{RowText::Middle::comparison, "3.0 GB → 1.0 GB", minus + "2.0 GB", true, false}));
    const auto same = FolderSection::rowText(
        {"desktop", FolderGrowth("desktop", 5'000, 5'000, "2026-03-01", std::nullopt), {}, false});
    EXPECT_EQ(same, (RowText{RowText::Middle::comparison, "5.0 KB → 5.0 KB", "no change", false, false}));

    EXPECT_EQ(FolderSection::rowText({"documents", std::nullopt, 1'500'000, false}),
              (RowText{RowText::Middle::firstReading, "1.5 MB", "", false, false}));
    // A size recorded today wins over a refusal of a later measurement.
    EXPECT_EQ(FolderSection::rowText({"documents", std::nullopt, 1'500'000, true}).sizes, "1.5 MB");
    EXPECT_EQ(FolderSection::rowText({"documents", std::nullopt, std::nullopt, true}).sizes, "No access");
    EXPECT_EQ(FolderSection::rowText({"documents", std::nullopt, std::nullopt, false}).sizes,
              "Not measured today");
}

TEST(FolderSectionTest, NotesByStateAndHistory) {
    const std::string noted = "Folder sizes are noted today. Tomorrow I can tell you what grew.";
    const std::string elsewhere = "These folders barely moved. The change is elsewhere on the disk — caches, app "
                                  "data, or files outside them.";
    EXPECT_EQ(FolderSection::note(State::rows, false, true), noted);
    EXPECT_EQ(FolderSection::note(State::rows, true, true), elsewhere);
    EXPECT_EQ(FolderSection::note(State::rows, true, false), std::nullopt);
    EXPECT_EQ(FolderSection::note(State::waiting, false, false), noted);
    EXPECT_EQ(FolderSection::note(State::waiting, true, true), "No folder moved by more than 250 MB.");
    EXPECT_EQ(FolderSection::note(State::measuring, false, false), std::nullopt);
}

TEST(FolderSectionTest, WeekSummaryTakesTheFirstThreeThatMovedAGigabyte) {
    const std::vector<FolderTrend> trends{trend("downloads", 0, 2'300'000'000),
                                          trend("desktop", 1'999'999'999, 1'000'000'000),
                                          trend("music", 1'000'000'000, 2'000'000'000),
                                          trend("documents", 3'000'000'000, 2'000'000'000),
                                          trend("videos", 0, 9'000'000'000)};
    EXPECT_EQ(FolderSection::weekSummary(trends, name),
              "Last 7 days: Downloads +2.3 GB · Music +1.0 GB · Documents " + minus + "1.0 GB");
    EXPECT_EQ(FolderSection::weekSummary({trend("desktop", 5'000'000'000, 3'999'999'999)}, name),
              "Last 7 days: Desktop " + minus + "1.0 GB");
    EXPECT_EQ(FolderSection::weekSummary({trend("desktop", 0, 999'999'999), trend("downloads", 999'999'999, 0)},
                                         name),
              std::nullopt);
    EXPECT_EQ(FolderSection::weekSummary({FolderTrend("desktop", {{Date::since1970(0), 9'000'000'000}})}, name),
              std::nullopt);
}

TEST(FolderSectionTest, PartlyMeasuredFoldersAreNamedInTheirOrder) {
    const std::string tail = ". Some folders inside can't be read.";
    struct Case {
        std::set<std::string> partly;
        std::optional<std::string> note;
    };
    for (const Case& c : {Case{{}, std::nullopt}, Case{{"elsewhere"}, std::nullopt},
                          Case{{"desktop"}, "Partly measured: Desktop" + tail},
                          Case{{"documents", "downloads"}, "Partly measured: Downloads and Documents" + tail},
                          Case{{"documents", "desktop", "downloads"},
                               "Partly measured: Downloads, Desktop and Documents" + tail}}) {
        EXPECT_EQ(FolderSection::partlyMeasuredNote(keys, c.partly, name), c.note) << c.partly.size();
    }
}

TEST(FolderSectionTest, TrendsByKeyKeepTheFirstAndHelpSaysTheWeek) {
    const auto byKey = FolderSection::trendsByKey({trend("desktop", 0, 1), trend("desktop", 0, 5)});
    ASSERT_EQ(byKey.size(), 1u);
    EXPECT_EQ(byKey.at("desktop").delta(), 1);
    EXPECT_EQ(FolderSection::trendHelp(trend("desktop", 3'000'000'000, 700'000'000)),
              "Last 7 days: " + minus + "2.3 GB");
}

} // namespace
} // namespace halvrick
