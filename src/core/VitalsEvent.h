#pragma once

#include "core/Date.h"
#include "core/JsonCoding.h"
#include "core/Uuid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// What a logged vitals event says: one case with at most one byte-count payload.
class VitalsEventKind {
public:
    enum class Case : int {
        storageFreed = 0,
        storageFilled = 1,
        storageLow = 2,
        swapStarted = 3,
        pressureCritical = 4,
        memoryFreed = 5
    };
    static constexpr std::array<Case, 6> allCases{Case::storageFreed,     Case::storageFilled,
                                                  Case::storageLow,       Case::swapStarted,
                                                  Case::pressureCritical, Case::memoryFreed};

    static VitalsEventKind storageFreed(std::uint64_t bytes) { return {Case::storageFreed, bytes}; }
    static VitalsEventKind storageFilled(std::uint64_t bytes) { return {Case::storageFilled, bytes}; }
    static VitalsEventKind storageLow(std::uint64_t freeBytes) { return {Case::storageLow, freeBytes}; }
    static VitalsEventKind swapStarted(std::uint64_t bytes) { return {Case::swapStarted, bytes}; }
    static VitalsEventKind pressureCritical() { return {Case::pressureCritical, 0}; }
    static VitalsEventKind memoryFreed(std::uint64_t bytes) { return {Case::memoryFreed, bytes}; }

    Case eventCase() const { return case_; }
    // The payload: `bytes`, or `freeBytes` for storageLow; nothing for pressureCritical.
    std::optional<std::uint64_t> payload() const;
    // The case name, e.g. "storageFreed".
    std::string name() const { return std::string(toString(case_)); }

    static std::string_view toString(Case c);
    static std::optional<Case> caseFromString(std::string_view name);

    json::Json toJson() const;
    // Exactly one recognised case key, else "Invalid number of keys found, expected one.".
    static VitalsEventKind fromJson(const json::Json& value);

    friend bool operator==(const VitalsEventKind&, const VitalsEventKind&) = default;

private:
    VitalsEventKind(Case c, std::uint64_t payload) : case_(c), payload_(payload) {}

    Case case_;
    std::uint64_t payload_;
};

struct VitalsEvent {
    Uuid id;
    Date date;
    VitalsEventKind kind;

    VitalsEvent(Uuid id, Date date, VitalsEventKind kind) : id(id), date(date), kind(kind) {}

    json::Json toJson() const;
    static VitalsEvent fromJson(const json::Json& value);

    friend bool operator==(const VitalsEvent&, const VitalsEvent&) = default;
};

} // namespace halvrick
