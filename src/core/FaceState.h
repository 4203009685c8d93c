#pragma once

#include "core/HeatState.h"
#include "core/PeaFace.h"

#include <array>
#include <optional>
#include <string_view>

namespace halvrick {

// The mascot's named moods; the raw value is the case name.
enum class FaceState {
    chill,
    warm,
    sweating,
    meltdown,
    coolingDown,
    blaming,
    allClear,
    askingToQuit,
    grateful,
    tired,
    napping,
    sideEye,
    wakeUpHappy,
    snoozed,
    dozing,
    wakingUp,
    shh,
    celebrating,
    hello,
    confused,
};

inline constexpr std::array<FaceState, 20> allFaceStates{
    FaceState::chill,       FaceState::warm,        FaceState::sweating, FaceState::meltdown,
    FaceState::coolingDown, FaceState::blaming,     FaceState::allClear, FaceState::askingToQuit,
    FaceState::grateful,    FaceState::tired,       FaceState::napping,  FaceState::sideEye,
    FaceState::wakeUpHappy, FaceState::snoozed,     FaceState::dozing,   FaceState::wakingUp,
    FaceState::shh,         FaceState::celebrating, FaceState::hello,    FaceState::confused,
};

std::string_view toString(FaceState state);
std::optional<FaceState> faceStateFromString(std::string_view raw);

std::string_view title(FaceState state);
// The mood's face; moods built on the heat face take `heat` as their base, the others ignore it.
PeaFace face(FaceState state, HeatState heat);
// Moods during which the tray keeps showing the plain heat face.
bool keepsHeatFaceInMenuBar(FaceState state);

} // namespace halvrick
