#include "core/FaceState.h"

#include <algorithm>
#include <cstdint>

namespace halvrick {

namespace {

struct MoodText {
    std::string_view raw;
    std::string_view title;
};

constexpr MoodText moodText(FaceState state) {
    switch (state) {
    case FaceState::chill:
        return {"chill", "Chill"};
    case FaceState::warm:
        return {"warm", "Warm"};
    case FaceState::sweating:
        return {"sweating", "Sweating"};
    case FaceState::meltdown:
        return {"meltdown", "Meltdown"};
    case FaceState::coolingDown:
        return {"coolingDown", "Cooling down"};
    case FaceState::blaming:
        return {"blaming", "Blaming"};
    case FaceState::allClear:
        return {"allClear", "All clear"};
    case FaceState::askingToQuit:
        return {"askingToQuit", "Asking to quit"};
    case FaceState::grateful:
        return {"grateful", "Grateful"};
    case FaceState::tired:
        return {"tired", "Tired"};
    case FaceState::napping:
        return {"napping", "Napping"};
    case FaceState::sideEye:
        return {"sideEye", "Side-eye"};
    case FaceState::wakeUpHappy:
        return {"wakeUpHappy", "Wake-up happy"};
    case FaceState::snoozed:
        return {"snoozed", "Snoozed"};
    case FaceState::dozing:
        return {"dozing", "Dozing"};
    case FaceState::wakingUp:
        return {"wakingUp", "Waking up"};
    case FaceState::shh:
        return {"shh", "Shh"};
    case FaceState::celebrating:
        return {"celebrating", "Celebrating"};
    case FaceState::hello:
        return {"hello", "Hello"};
    case FaceState::confused:
        return {"confused", "Confused"};
    }
    return {};
}

} // namespace

std::string_view toString(FaceState state) {
    return moodText(state).raw;
}

std::optional<FaceState> faceStateFromString(std::string_view raw) {
    for (const FaceState state : allFaceStates) {
        if (toString(state) == raw) {
            return state;
        }
    }
    return std::nullopt;
}

std::string_view title(FaceState state) {
    return moodText(state).title;
}

PeaFace face(FaceState state, HeatState heat) {
    using Eyes = PeaFace::Eyes;
    using Brows = PeaFace::Brows;
    using Mouth = PeaFace::Mouth;
    using Leaf = PeaFace::LeafPose;
    using Accessory = PeaFace::Accessory;

    const PeaFace h = PeaFace::heat(heat);
    PeaFace f;
    switch (state) {
    case FaceState::chill:
        return PeaFace::heat(HeatState::chill);
    case FaceState::warm:
        return PeaFace::heat(HeatState::warm);
    case FaceState::sweating:
        return PeaFace::heat(HeatState::sweating);
    case FaceState::meltdown:
        return PeaFace::heat(HeatState::meltdown);
    case FaceState::coolingDown:
        f.eyes = Eyes::happy;
        f.mouth = Mouth::o;
        f.blush = 0.3;
        f.sweatDrops = 1;
        f.leaf = Leaf::wipingBrow;
        f.puff = 1.0;
        return f;
    case FaceState::blaming:
        f = h;
        f.pupilOffset = 1.0;
        f.brows = Brows::annoyed;
        f.leaf = Leaf::pointing;
        f.sweatDrops = std::min<std::int64_t>(h.sweatDrops, 1);
        if (f.accessory == Accessory::sunglasses) {
            f.accessory = Accessory::none;
        }
        return f;
    case FaceState::allClear:
        f.eyes = Eyes::happy;
        f.leaf = Leaf::thumbsUp;
        return f;
    case FaceState::askingToQuit:
        f = h;
        f.eyes = Eyes::pleading;
        f.brows = Brows::raised;
        f.mouth = Mouth::smile;
        f.accessory = Accessory::none;
        f.steam = 0;
        f.melt = 0;
        return f;
    case FaceState::grateful:
        f.eyes = Eyes::happy;
        f.mouth = Mouth::grin;
        f.blush = 0.6;
        f.sparkle = 1.0;
        return f;
    case FaceState::tired:
        return PeaFace::rest(RestFace::tired, heat);
    case FaceState::napping:
        return PeaFace::rest(RestFace::napping, heat);
    case FaceState::sideEye:
        return PeaFace::rest(RestFace::sideEye, heat);
    case FaceState::wakeUpHappy:
        f = PeaFace::rest(RestFace::wakeUp, heat);
        f.leaf = Leaf::waving;
        f.sparkle = 0.6;
        return f;
    case FaceState::snoozed:
        return PeaFace::rest(RestFace::snoozed, heat);
    case FaceState::dozing:
        f.eyes = Eyes::closed;
        f.mouth = Mouth::flat;
        f.squash = 0.1;
        return f;
    case FaceState::wakingUp:
        f.eyes = Eyes::halfClosed;
        f.mouth = Mouth::o;
        f.squash = -0.3;
        return f;
    case FaceState::shh:
        f = h;
        f.mouth = Mouth::flat;
        f.leaf = Leaf::shushing;
        f.accessory = Accessory::none;
        return f;
    case FaceState::celebrating:
        f.eyes = Eyes::happy;
        f.mouth = Mouth::grin;
        f.blush = 0.5;
        f.accessory = Accessory::partyHat;
        f.confetti = 1.0;
        return f;
    case FaceState::hello:
        f.mouth = Mouth::grin;
        f.blush = 0.3;
        f.leaf = Leaf::waving;
        return f;
    case FaceState::confused:
        f.brows = Brows::confused;
        f.mouth = Mouth::flat;
        f.questionMark = true;
        return f;
    }
    return f;
}

bool keepsHeatFaceInMenuBar(FaceState state) {
    switch (state) {
    case FaceState::blaming:
    case FaceState::allClear:
    case FaceState::askingToQuit:
    case FaceState::shh:
    case FaceState::celebrating:
    case FaceState::hello:
        return true;
    default:
        return false;
    }
}

} // namespace halvrick
