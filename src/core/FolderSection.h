#pragma once

#include "core/FolderGrowth.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// What the vitals window's folder section shows, from the model's folder figures.
namespace FolderSection {

// A folder is named in the week summary from this change on, either way.
inline constexpr std::uint64_t weekSummaryChange = 1'000'000'000;
inline constexpr std::size_t weekSummaryLimit = 3;

enum class State { measuring, rows, waiting };

// Measuring wins; then rows when today was measured or a folder was refused; else waiting.
State state(bool isMeasuring, bool measuredToday, bool anyDenied);

struct Row {
    std::string key;
    // Against the most recent earlier day that measured the folder.
    std::optional<FolderGrowth> comparison;
    // Today's size.
    std::optional<std::uint64_t> bytesNow;
    bool denied = false;

    friend bool operator==(const Row&, const Row&) = default;
};

// One row per folder key, in the given order, measured or not; the first comparison of a key counts.
std::vector<Row> rows(const std::vector<std::string>& folderKeys, const std::vector<FolderGrowth>& comparisons,
                      const std::map<std::string, std::uint64_t>& sizesToday,
                      const std::set<std::string>& denied);

struct RowText {
    enum class Middle { comparison, firstReading, missing };

    Middle middle = Middle::missing;
    // "4.2 GB → 5.6 GB"; today's size; "No access" or "Not measured today".
    std::string sizes;
    // With a comparison: "no change", or the change with its "+" or "−".
    std::string change;
    // The folder's size moved: a since-text goes under the change.
    bool moved = false;
    bool grew = false;

    friend bool operator==(const RowText&, const RowText&) = default;
};

RowText rowText(const Row& row);

// The note under the body, if any: when no earlier day has folder sizes, when free storage moved
// although the folders did not (rows only), or that no folder moved enough (waiting only).
std::optional<std::string> note(State state, bool hasEarlierSizes, bool storageMovedElsewhere);

// Names the measured folders whose size leaves something out, in the given order: "Partly measured:
// Downloads and Documents. Some folders inside can't be read."; none when every folder was measured whole.
std::optional<std::string>
partlyMeasuredNote(const std::vector<std::string>& folderKeys, const std::set<std::string>& partlyMeasured,
                   const std::function<std::string(std::string_view key)>& folderName);

// Keyed by folder key; the first trend of a key counts.
std::map<std::string, FolderTrend> trendsByKey(const std::vector<FolderTrend>& trends);
// The sparkline's help: "Last 7 days: +2.3 GB".
std::string trendHelp(const FolderTrend& trend);
// "Last 7 days: Downloads +2.3 GB · Desktop −1.1 GB": the first three trends, in the given order, that moved
// a gigabyte or more; none when no trend did.
std::optional<std::string> weekSummary(const std::vector<FolderTrend>& trends,
                                       const std::function<std::string(std::string_view key)>& folderName);

} // namespace FolderSection

} // namespace halvrick
