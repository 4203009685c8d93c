#include "core/VitalsDay.h"

#include "core/JsonCoding.h"

namespace halvrick {

namespace {

// An absent or null member reads as nothing; any other value must be an object.
const json::Json* optionalObject(const json::Json& obj, std::string_view key) {
    const auto it = obj.find(key);
    if (it == obj.end() || it->is_null()) {
        return nullptr;
    }
    return &json::object(*it, key);
}

} // namespace

json::Json AppMemoryPeak::toJson() const {
    return {{"id", id},
            {"name", name},
            {"peakBytes", peakBytes},
            {"lastBytes", lastBytes},
            {"lastSeen", json::fromDate(lastSeen)}};
}

AppMemoryPeak AppMemoryPeak::fromJson(const json::Json& value) {
    const auto& obj = json::object(value, "application peak");
    return {json::required<std::string>(obj, "id"), json::required<std::string>(obj, "name"),
            json::required<std::uint64_t>(obj, "peakBytes"), json::required<std::uint64_t>(obj, "lastBytes"),
            json::requiredDate(obj, "lastSeen")};
}

json::Json VitalsDay::toJson() const {
    json::Json appsJson = json::Json::object();
    for (const auto& [id, peak] : apps) {
        appsJson[id] = peak.toJson();
    }
    json::Json foldersJson = json::Json::object();
    for (const auto& [key, bytes] : folderBytes) {
        foldersJson[key] = bytes;
    }
    json::Json out{{"day", day},
                   {"peakMemoryUsed", peakMemoryUsed},
                   {"peakSwapUsed", peakSwapUsed},
                   {"warningSeconds", warningSeconds},
                   {"criticalSeconds", criticalSeconds},
                   {"apps", std::move(appsJson)},
                   {"folderBytes", std::move(foldersJson)}};
    if (minStorageFree) {
        out["minStorageFree"] = *minStorageFree;
    }
    if (maxStorageFree) {
        out["maxStorageFree"] = *maxStorageFree;
    }
    if (folderMeasuredAt) {
        out["folderMeasuredAt"] = json::fromDate(*folderMeasuredAt);
    }
    return out;
}

VitalsDay VitalsDay::fromJson(const json::Json& value) {
    const auto& obj = json::object(value, "day");
    VitalsDay d(json::required<std::string>(obj, "day"));
    d.peakMemoryUsed = json::optional<std::uint64_t>(obj, "peakMemoryUsed").value_or(0);
    d.peakSwapUsed = json::optional<std::uint64_t>(obj, "peakSwapUsed").value_or(0);
    d.minStorageFree = json::optional<std::uint64_t>(obj, "minStorageFree");
    d.maxStorageFree = json::optional<std::uint64_t>(obj, "maxStorageFree");
    d.warningSeconds = json::optional<double>(obj, "warningSeconds").value_or(0);
    d.criticalSeconds = json::optional<double>(obj, "criticalSeconds").value_or(0);
    if (const auto* apps = optionalObject(obj, "apps")) {
        for (const auto& [id, peak] : apps->items()) {
            d.apps.emplace(id, AppMemoryPeak::fromJson(peak));
        }
    }
    if (const auto* folders = optionalObject(obj, "folderBytes")) {
        for (const auto& [key, bytes] : folders->items()) {
            d.folderBytes.emplace(key, json::asUInt64(bytes, key));
        }
    }
    d.folderMeasuredAt = json::optionalDate(obj, "folderMeasuredAt");
    return d;
}

} // namespace halvrick
