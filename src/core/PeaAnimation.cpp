#include "core/PeaAnimation.h"

#include <cmath>
#include <numbers>

namespace halvrick::PeaAnimation {

namespace {

double frac(double x) {
    return x - std::floor(x);
}

} // namespace

std::optional<double> menuBarLoop(HeatState state) {
    switch (state) {
    case HeatState::chill:
        return std::nullopt;
    case HeatState::warm:
        return 6.0;
    case HeatState::sweating:
        return 1.5;
    case HeatState::meltdown:
        return 2.0;
    }
    return std::nullopt;
}

PeaFace menuBarFrame(HeatState state, double phase) {
    const double p = frac(phase);
    PeaFace f = PeaFace::heat(state);
    switch (state) {
    case HeatState::chill:
        break;
    case HeatState::warm: {
        // The drop falls during the first 1.5 s of the loop, then the pea rests.
        const double s = 6 * p;
        f.dropFall = s < 1.5 ? s / 1.5 : 0;
        break;
    }
    case HeatState::sweating: {
        const auto k = static_cast<long long>(12 * p);
        f.jitter = k % 2 == 0 ? 0.4 : -0.4;
        break;
    }
    case HeatState::meltdown:
        f.melt = 1 + 0.15 * std::sin(2 * std::numbers::pi * p);
        f.steamRise = p;
        break;
    }
    return f;
}

std::vector<PeaFace> menuBarFrames(HeatState state) {
    const std::optional<double> loop = menuBarLoop(state);
    if (!loop) {
        return {PeaFace::heat(state)};
    }
    const auto n = static_cast<int>(std::round(*loop * menuBarFramesPerSecond));
    std::vector<PeaFace> frames;
    frames.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        frames.push_back(menuBarFrame(state, static_cast<double>(i) / n));
    }
    return frames;
}

PeaFace animate(const PeaFace& face, double time) {
    using std::numbers::pi;
    const double t = time;
    PeaFace f = face;
    if ((f.eyes == PeaFace::Eyes::open || f.eyes == PeaFace::Eyes::wide) &&
        std::fmod(t, blinkPeriod) < blinkDuration) {
        f.eyes = PeaFace::Eyes::closed;
    }
    if (f.sweatDrops > 0) {
        f.dropFall = frac(t / (f.sweatDrops <= 2 ? slowDropPeriod : fastDropPeriod));
    }
    if (f.melt > 0) {
        f.melt += 0.08 * std::sin(pi * t);
    }
    if (f.mouth == PeaFace::Mouth::yawn && frac(t / 3) > 0.4) {
        f.mouth = PeaFace::Mouth::flat;
    }
    if (f.confetti > 0) {
        f.confetti = 0.6 + 0.4 * frac(t / 1.5);
    }
    f.squash += 0.04 * std::sin(pi * t / 2);
    if (f.steam > 0) {
        f.steamRise = frac(t / 2);
    }
    if (f.sleepZ > 0) {
        f.zRise = frac(t / 3);
    }
    return f;
}

} // namespace halvrick::PeaAnimation
