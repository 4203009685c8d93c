#pragma once

#include "core/Date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace halvrick {

// One folder's size now against an earlier day's measurement.
struct FolderGrowth {
    std::string id;
    std::uint64_t bytesEarlier = 0;
    std::uint64_t bytesNow = 0;
    std::string earlierDay;
    std::optional<Date> earlierDate;

    FolderGrowth(std::string id, std::uint64_t bytesEarlier, std::uint64_t bytesNow, std::string earlierDay,
                 std::optional<Date> earlierDate)
        : id(std::move(id)), bytesEarlier(bytesEarlier), bytesNow(bytesNow),
          earlierDay(std::move(earlierDay)), earlierDate(earlierDate) {}

    // Signed, so a folder that shrank reads negative.
    std::int64_t delta() const { return static_cast<std::int64_t>(bytesNow - bytesEarlier); }
    // An unchanged folder counts as growth.
    bool isGrowth() const { return bytesNow >= bytesEarlier; }

    friend bool operator==(const FolderGrowth&, const FolderGrowth&) = default;
};

struct FolderTrendPoint {
    Date day; // the start of the day
    std::uint64_t bytes = 0;

    FolderTrendPoint(Date day, std::uint64_t bytes) : day(day), bytes(bytes) {}

    friend bool operator==(const FolderTrendPoint&, const FolderTrendPoint&) = default;
};

// One folder's size series, oldest day first.
struct FolderTrend {
    std::string id;
    std::vector<FolderTrendPoint> points;

    FolderTrend(std::string id, std::vector<FolderTrendPoint> points)
        : id(std::move(id)), points(std::move(points)) {}

    std::int64_t delta() const {
        return points.size() < 2 ? 0 : static_cast<std::int64_t>(points.back().bytes - points.front().bytes);
    }
    bool isGrowth() const { return points.size() < 2 || points.back().bytes >= points.front().bytes; }

    friend bool operator==(const FolderTrend&, const FolderTrend&) = default;
};

} // namespace halvrick
