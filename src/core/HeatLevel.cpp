#include "core/HeatLevel.h"

#include <array>

namespace halvrick::HeatLevel {

int of(double heatSeconds) {
    if (!(heatSeconds > 0)) {
        return 0;
    }
    const double minutes = heatSeconds / 60.0;
    constexpr std::array<double, 4> bounds{10, 30, 60, 120};
    int level = 1;
    for (const double bound : bounds) {
        if (minutes < bound) {
            return level;
        }
        ++level;
    }
    return level;
}

} // namespace halvrick::HeatLevel
