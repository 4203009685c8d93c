#pragma once

#include "core/MachineVitals.h"
#include "core/MemoryPressure.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace halvrick {

// The figures and short texts of the vitals window's cards and lists, from one machine sample or the
// ledger.
namespace VitalsFigures {

// The bar of a part of a whole, 0...1; an empty whole gives an empty bar, a part beyond it a full one.
double fraction(std::uint64_t part, std::uint64_t whole);
// "pressure normal", "pressure warning", "pressure critical".
std::string pressureText(MemoryPressure pressure);
// "none" for no swap at all, else base 1024.
std::string swapText(std::uint64_t swapUsed);
// From 90 % used; an unreadable disk is never full.
bool isStorageNearlyFull(const MachineVitals& vitals);
// "Memory +1.2 GB · Swap +5 MB · Free −3.4 GB", leaving out what did not move; "Nothing much changed."
// when nothing did.
std::string changeText(const VitalsChange& change);
// "+512 MB since yesterday" (base 1024) once today and yesterday differ by 100,000,000 bytes or more.
std::optional<std::string> deltaNote(std::uint64_t today, std::uint64_t yesterday);
// The note of an application's memory row: against yesterday's peak, when it had one above 0.
std::optional<std::string> appNote(const std::string& id, std::uint64_t bytes,
                                   const std::map<std::string, std::uint64_t>& yesterdayPeaks);

} // namespace VitalsFigures

} // namespace halvrick
