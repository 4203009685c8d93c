#pragma once

#include "core/Date.h"
#include "core/JsonCoding.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace halvrick {

// One application's current memory use, as handed to the vitals ledger.
struct AppMemory {
    std::string id;
    std::string name;
    std::uint64_t bytes = 0;

    AppMemory() = default;
    AppMemory(std::string id, std::string name, std::uint64_t bytes)
        : id(std::move(id)), name(std::move(name)), bytes(bytes) {}

    friend bool operator==(const AppMemory&, const AppMemory&) = default;
};

// One application's memory record for one day.
struct AppMemoryPeak {
    std::string id;
    std::string name;
    std::uint64_t peakBytes = 0;
    std::uint64_t lastBytes = 0;
    Date lastSeen;

    AppMemoryPeak() = default;
    AppMemoryPeak(std::string id, std::string name, std::uint64_t peakBytes, std::uint64_t lastBytes,
                  Date lastSeen)
        : id(std::move(id)), name(std::move(name)), peakBytes(peakBytes), lastBytes(lastBytes),
          lastSeen(lastSeen) {}

    json::Json toJson() const;
    static AppMemoryPeak fromJson(const json::Json& value);

    friend bool operator==(const AppMemoryPeak&, const AppMemoryPeak&) = default;
};

// The vitals of one calendar day.
struct VitalsDay {
    std::string day;
    std::uint64_t peakMemoryUsed = 0;
    std::uint64_t peakSwapUsed = 0;
    std::optional<std::uint64_t> minStorageFree;
    std::optional<std::uint64_t> maxStorageFree;
    double warningSeconds = 0;
    double criticalSeconds = 0;
    // Keyed by application id.
    std::map<std::string, AppMemoryPeak> apps;
    // Keyed by folder key: "downloads", "desktop", "documents".
    std::map<std::string, std::uint64_t> folderBytes;
    std::optional<Date> folderMeasuredAt;

    VitalsDay() = default;
    explicit VitalsDay(std::string day) : day(std::move(day)) {}

    json::Json toJson() const;
    // Only "day" is required; a missing or null key reads as the value of a new day.
    static VitalsDay fromJson(const json::Json& value);

    friend bool operator==(const VitalsDay&, const VitalsDay&) = default;
};

} // namespace halvrick
