#pragma once

#include "core/AppKey.h"
#include "core/HeatState.h"

#include <map>
#include <set>
#include <string>

namespace halvrick {

// How the seconds the machine spends hot are divided among applications for the daily statistics.
namespace SweatAccounting {

// Sweat seconds per application for one process sample, in proportion to its CPU seconds; the part
// of ignored applications (ids in `ignoring`) is credited to nobody.
std::map<AppKey, double> credit(const std::map<AppKey, double>& cpuSeconds, double interval, HeatState state,
                                const std::set<std::string>& ignoring);

} // namespace SweatAccounting

} // namespace halvrick
