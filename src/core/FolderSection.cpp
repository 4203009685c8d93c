#include "core/FolderSection.h"

#include "core/Bytes.h"

namespace halvrick::FolderSection {

namespace {

constexpr const char* notedToday = "Folder sizes are noted today. Tomorrow I can tell you what grew.";

std::uint64_t magnitude(std::int64_t delta) {
    // Negating INT64_MIN would overflow; the unsigned negation does not.
    return delta < 0 ? 0 - static_cast<std::uint64_t>(delta) : static_cast<std::uint64_t>(delta);
}

} // namespace

State state(bool isMeasuring, bool measuredToday, bool anyDenied) {
    if (isMeasuring) {
        return State::measuring;
    }
    return measuredToday || anyDenied ? State::rows : State::waiting;
}

std::vector<Row> rows(const std::vector<std::string>& folderKeys, const std::vector<FolderGrowth>& comparisons,
                      const std::map<std::string, std::uint64_t>& sizesToday,
                      const std::set<std::string>& denied) {
    std::map<std::string, FolderGrowth> byKey;
    for (const FolderGrowth& comparison : comparisons) {
        byKey.try_emplace(comparison.id, comparison);
    }
    std::vector<Row> result;
    for (const std::string& key : folderKeys) {
        Row row{key, std::nullopt, std::nullopt, denied.contains(key)};
        if (const auto it = byKey.find(key); it != byKey.end()) {
            row.comparison = it->second;
        }
        if (const auto it = sizesToday.find(key); it != sizesToday.end()) {
            row.bytesNow = it->second;
        }
        result.push_back(std::move(row));
    }
    return result;
}

RowText rowText(const Row& row) {
    RowText text;
    if (row.comparison) {
        const FolderGrowth& c = *row.comparison;
        text.middle = RowText::Middle::comparison;
        text.sizes = Bytes::storage(c.bytesEarlier) + " → " + Bytes::storage(c.bytesNow);
        text.moved = c.bytesNow != c.bytesEarlier;
        text.grew = c.bytesNow > c.bytesEarlier;
        text.change = Bytes::change(c.delta(), true);
    } else if (row.bytesNow) {
        text.middle = RowText::Middle::firstReading;
        text.sizes = Bytes::storage(*row.bytesNow);
    } else {
        text.sizes = row.denied ? "No access" : "Not measured today";
    }
    return text;
}

std::optional<std::string> note(State state, bool hasEarlierSizes, bool storageMovedElsewhere) {
    if (state == State::measuring) {
        return std::nullopt;
    }
    if (!hasEarlierSizes) {
        return notedToday;
    }
    if (state == State::waiting) {
        return "No folder moved by more than 250 MB.";
    }
    if (storageMovedElsewhere) {
        return "These folders barely moved. The change is elsewhere on the disk — caches, app data, or files "
               "outside them.";
    }
    return std::nullopt;
}

std::optional<std::string>
partlyMeasuredNote(const std::vector<std::string>& folderKeys, const std::set<std::string>& partlyMeasured,
                   const std::function<std::string(std::string_view key)>& folderName) {
    std::vector<std::string> names;
    for (const std::string& key : folderKeys) {
        if (partlyMeasured.contains(key)) {
            names.push_back(folderName(key));
        }
    }
    if (names.empty()) {
        return std::nullopt;
    }
    std::string text = "Partly measured: ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? " and " : ", ";
        }
        text += names[i];
    }
    return text + ". Some folders inside can't be read.";
}

std::map<std::string, FolderTrend> trendsByKey(const std::vector<FolderTrend>& trends) {
    std::map<std::string, FolderTrend> byKey;
    for (const FolderTrend& trend : trends) {
        byKey.try_emplace(trend.id, trend);
    }
    return byKey;
}

std::string trendHelp(const FolderTrend& trend) {
    return "Last 7 days: " + Bytes::change(trend.delta(), true);
}

std::optional<std::string> weekSummary(const std::vector<FolderTrend>& trends,
                                       const std::function<std::string(std::string_view key)>& folderName) {
    std::string text;
    std::size_t named = 0;
    for (const FolderTrend& trend : trends) {
        if (named == weekSummaryLimit) {
            break;
        }
        if (magnitude(trend.delta()) < weekSummaryChange) {
            continue;
        }
        text += (named == 0 ? "Last 7 days: " : " · ") + folderName(trend.id) + " " +
                Bytes::change(trend.delta(), true);
        ++named;
    }
    if (named == 0) {
        return std::nullopt;
    }
    return text;
}

} // namespace halvrick::FolderSection
