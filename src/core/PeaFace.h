#pragma once

#include "core/HeatState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace halvrick {

// Face families shown for a moment in reaction to the rest coach.
enum class RestFace { tired, napping, sideEye, wakeUp, snoozed };

inline constexpr std::array<RestFace, 5> allRestFaces{RestFace::tired, RestFace::napping, RestFace::sideEye,
                                                      RestFace::wakeUp, RestFace::snoozed};

// The pea's face as plain data: the renderer draws it and never decides what it looks like.
struct PeaFace {
    enum class Eyes { open, wide, halfClosed, closed, happy, sideEye, dizzy, pleading };
    enum class Brows { relaxed, worried, annoyed, raised, confused };
    enum class Mouth { smile, flat, wobbly, panting, o, yawn, grin, frown };
    enum class LeafPose { resting, pointing, waving, wipingBrow, thumbsUp, shushing };
    enum class Accessory { none, sunglasses, sleepMask, zzz, partyHat, confetti };
    // How much the renderer draws.
    enum class Detail { menuBar, full };

    static constexpr std::array<Eyes, 8> allEyes{Eyes::open,   Eyes::wide,    Eyes::halfClosed,
                                                 Eyes::closed, Eyes::happy,   Eyes::sideEye,
                                                 Eyes::dizzy,  Eyes::pleading};
    static constexpr std::array<Brows, 5> allBrows{Brows::relaxed, Brows::worried, Brows::annoyed,
                                                   Brows::raised, Brows::confused};
    static constexpr std::array<Mouth, 8> allMouths{Mouth::smile, Mouth::flat, Mouth::wobbly, Mouth::panting,
                                                    Mouth::o,     Mouth::yawn, Mouth::grin,   Mouth::frown};
    static constexpr std::array<LeafPose, 6> allLeafPoses{LeafPose::resting,  LeafPose::pointing,
                                                          LeafPose::waving,   LeafPose::wipingBrow,
                                                          LeafPose::thumbsUp, LeafPose::shushing};
    static constexpr std::array<Accessory, 6> allAccessories{Accessory::none,      Accessory::sunglasses,
                                                             Accessory::sleepMask, Accessory::zzz,
                                                             Accessory::partyHat,  Accessory::confetti};

    Eyes eyes = Eyes::open;
    double pupilOffset = 0;
    Brows brows = Brows::relaxed;
    Mouth mouth = Mouth::smile;
    double blush = 0;
    std::int64_t sweatDrops = 0;
    double steam = 0;
    double melt = 0;
    double squash = 0;
    LeafPose leaf = LeafPose::resting;
    Accessory accessory = Accessory::none;
    std::int64_t sleepZ = 0;
    double sparkle = 0;
    double confetti = 0;
    bool questionMark = false;
    double puff = 0;
    // Animation phases, set only by PeaAnimation.
    double dropFall = 0;
    double steamRise = 0;
    double zRise = 0;
    double jitter = 0;

    static PeaFace heat(HeatState state);
    static PeaFace rest(RestFace rest, HeatState heat);
    static PeaFace stuffed();
    // Halvrick's own mark, on its icon and as the cards' signature: the neutral face, blushing a little,
    // with one drop of sweat.
    static PeaFace mark();

    PeaFace cappedForMild() const;
    PeaFace simplifiedForMenuBar() const;
    PeaFace interpolated(const PeaFace& to, double progress) const;

    // Faces key the tray icon cache, so equality must be reflexive: two NaNs in the same field count
    // as equal and hash alike (a NaN key never equal to itself would add a cache entry per frame).
    // -0.0 and 0.0 are equal and hash alike too.
    friend bool operator==(const PeaFace& a, const PeaFace& b);
    std::size_t hashValue() const noexcept;
};

std::string_view toString(PeaFace::Eyes eyes);
std::string_view toString(PeaFace::Brows brows);
std::string_view toString(PeaFace::Mouth mouth);
std::string_view toString(PeaFace::LeafPose leaf);
std::string_view toString(PeaFace::Accessory accessory);

std::optional<PeaFace::Eyes> eyesFromString(std::string_view raw);
std::optional<PeaFace::Brows> browsFromString(std::string_view raw);
std::optional<PeaFace::Mouth> mouthFromString(std::string_view raw);
std::optional<PeaFace::LeafPose> leafPoseFromString(std::string_view raw);
std::optional<PeaFace::Accessory> accessoryFromString(std::string_view raw);

} // namespace halvrick

template <> struct std::hash<halvrick::PeaFace> {
    std::size_t operator()(const halvrick::PeaFace& face) const noexcept { return face.hashValue(); }
};
