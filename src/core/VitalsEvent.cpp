#include "core/VitalsEvent.h"

#include "core/JsonCoding.h"

namespace halvrick {

namespace {

std::string_view payloadKey(VitalsEventKind::Case c) {
    return c == VitalsEventKind::Case::storageLow ? "freeBytes" : "bytes";
}

} // namespace

std::optional<std::uint64_t> VitalsEventKind::payload() const {
    if (case_ == Case::pressureCritical) {
        return std::nullopt;
    }
    return payload_;
}

std::string_view VitalsEventKind::toString(Case c) {
    switch (c) {
    case Case::storageFreed:
        return "storageFreed";
    case Case::storageFilled:
        return "storageFilled";
    case Case::storageLow:
        return "storageLow";
    case Case::swapStarted:
        return "swapStarted";
    case Case::pressureCritical:
        return "pressureCritical";
    case Case::memoryFreed:
        return "memoryFreed";
    }
    return {};
}

std::optional<VitalsEventKind::Case> VitalsEventKind::caseFromString(std::string_view name) {
    for (const Case c : allCases) {
        if (toString(c) == name) {
            return c;
        }
    }
    return std::nullopt;
}

json::Json VitalsEventKind::toJson() const {
    json::Json inner = json::Json::object();
    if (const auto bytes = payload()) {
        inner[std::string(payloadKey(case_))] = *bytes;
    }
    return {{name(), std::move(inner)}};
}

VitalsEventKind VitalsEventKind::fromJson(const json::Json& value) {
    const auto& obj = json::object(value, "event kind");
    std::optional<Case> found;
    int recognised = 0;
    for (const auto& [key, inner] : obj.items()) {
        if (const auto c = caseFromString(key)) {
            found = c;
            ++recognised;
        }
    }
    if (recognised != 1) {
        throw Error("Invalid number of keys found, expected one.");
    }
    const auto& inner = json::object(json::member(obj, toString(*found)), toString(*found));
    if (*found == Case::pressureCritical) {
        return pressureCritical();
    }
    return {*found, json::required<std::uint64_t>(inner, payloadKey(*found))};
}

json::Json VitalsEvent::toJson() const {
    return {{"id", id.toString()}, {"date", json::fromDate(date)}, {"kind", kind.toJson()}};
}

VitalsEvent VitalsEvent::fromJson(const json::Json& value) {
    const auto& obj = json::object(value, "event");
    const auto id = Uuid::fromString(json::required<std::string>(obj, "id"));
    if (!id) {
        throw Error("\"id\" must be a UUID");
    }
    return {*id, json::requiredDate(obj, "date"), VitalsEventKind::fromJson(json::member(obj, "kind"))};
}

} // namespace halvrick
