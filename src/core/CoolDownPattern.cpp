#include "core/CoolDownPattern.h"

#include <cmath>

namespace halvrick {

std::optional<CoolDownPattern::Position> CoolDownPattern::stage(double elapsed) {
    // Written so that NaN fails too.
    if (!(elapsed >= 0 && elapsed < totalSeconds)) {
        return std::nullopt;
    }
    double x = std::fmod(elapsed, cycleSeconds);
    // fmod is exact, so elapsed - x is exactly a whole number of cycles and the round always matches x.
    const int round = static_cast<int>(std::lround((elapsed - x) / cycleSeconds)) + 1;
    for (const Step& step : steps) {
        if (x < step.seconds) {
            return Position{round, step.stage, step.seconds - x};
        }
        x -= step.seconds;
    }
    return std::nullopt;
}

} // namespace halvrick
