#include "core/PeaFace.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace halvrick {

namespace {

template <class E, std::size_t N>
std::optional<E> fromString(const std::array<E, N>& cases, std::string_view raw) {
    for (const E value : cases) {
        if (toString(value) == raw) {
            return value;
        }
    }
    return std::nullopt;
}

bool sameAmount(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

std::size_t amountHash(double x) noexcept {
    if (std::isnan(x)) {
        return 0x7ff8'0000'0000'0000ULL;
    }
    return std::hash<double>{}(x == 0 ? 0.0 : x);
}

void combine(std::size_t& seed, std::size_t h) noexcept {
    seed ^= h + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

template <class E> std::size_t caseHash(E value) noexcept {
    return std::hash<int>{}(static_cast<int>(value));
}

// The end points are exact: the blend starts on this face and lands on the target.
double lerp(double from, double to, double t) {
    if (t == 0) {
        return from;
    }
    if (t == 1) {
        return to;
    }
    return from + (to - from) * t;
}

// Raw values in case order.
constexpr std::array<std::string_view, 8> eyesNames{"open",  "wide",    "halfClosed", "closed",
                                                    "happy", "sideEye", "dizzy",      "pleading"};
constexpr std::array<std::string_view, 5> browsNames{"relaxed", "worried", "annoyed", "raised", "confused"};
constexpr std::array<std::string_view, 8> mouthNames{"smile", "flat", "wobbly", "panting",
                                                     "o",     "yawn", "grin",   "frown"};
constexpr std::array<std::string_view, 6> leafNames{"resting",    "pointing", "waving",
                                                    "wipingBrow", "thumbsUp", "shushing"};
constexpr std::array<std::string_view, 6> accessoryNames{"none", "sunglasses", "sleepMask",
                                                         "zzz",  "partyHat",   "confetti"};

} // namespace

std::string_view toString(PeaFace::Eyes eyes) {
    return eyesNames.at(static_cast<std::size_t>(eyes));
}
std::string_view toString(PeaFace::Brows brows) {
    return browsNames.at(static_cast<std::size_t>(brows));
}
std::string_view toString(PeaFace::Mouth mouth) {
    return mouthNames.at(static_cast<std::size_t>(mouth));
}
std::string_view toString(PeaFace::LeafPose leaf) {
    return leafNames.at(static_cast<std::size_t>(leaf));
}
std::string_view toString(PeaFace::Accessory accessory) {
    return accessoryNames.at(static_cast<std::size_t>(accessory));
}

std::optional<PeaFace::Eyes> eyesFromString(std::string_view raw) {
    return fromString(PeaFace::allEyes, raw);
}
std::optional<PeaFace::Brows> browsFromString(std::string_view raw) {
    return fromString(PeaFace::allBrows, raw);
}
std::optional<PeaFace::Mouth> mouthFromString(std::string_view raw) {
    return fromString(PeaFace::allMouths, raw);
}
std::optional<PeaFace::LeafPose> leafPoseFromString(std::string_view raw) {
    return fromString(PeaFace::allLeafPoses, raw);
}
std::optional<PeaFace::Accessory> accessoryFromString(std::string_view raw) {
    return fromString(PeaFace::allAccessories, raw);
}

PeaFace PeaFace::heat(HeatState state) {
    PeaFace f;
    switch (state) {
    case HeatState::chill:
        f.accessory = Accessory::sunglasses;
        break;
    case HeatState::warm:
        f.brows = Brows::worried;
        f.blush = 0.5;
        f.sweatDrops = 1;
        break;
    case HeatState::sweating:
        f.eyes = Eyes::wide;
        f.brows = Brows::worried;
        f.mouth = Mouth::wobbly;
        f.blush = 0.8;
        f.sweatDrops = 3;
        break;
    case HeatState::meltdown:
        f.eyes = Eyes::dizzy;
        f.brows = Brows::worried;
        f.mouth = Mouth::panting;
        f.blush = 0.8;
        f.sweatDrops = 2;
        f.steam = 1.0;
        f.melt = 1.0;
        break;
    }
    return f;
}

PeaFace PeaFace::rest(RestFace rest, HeatState heat) {
    PeaFace f;
    switch (rest) {
    case RestFace::tired:
        f.eyes = Eyes::halfClosed;
        f.brows = Brows::worried;
        f.mouth = Mouth::yawn;
        f.squash = -0.3;
        f.sweatDrops = std::min<std::int64_t>(PeaFace::heat(heat).sweatDrops, 2);
        break;
    case RestFace::napping:
        f.eyes = Eyes::closed;
        f.blush = 0.3;
        f.accessory = Accessory::sleepMask;
        f.sleepZ = 3;
        break;
    case RestFace::sideEye:
        f.eyes = Eyes::sideEye;
        f.brows = Brows::annoyed;
        f.mouth = Mouth::flat;
        break;
    case RestFace::wakeUp:
        f.eyes = Eyes::happy;
        f.mouth = Mouth::grin;
        f.blush = 0.4;
        f.squash = -0.4;
        break;
    case RestFace::snoozed:
        f.eyes = Eyes::halfClosed;
        f.brows = Brows::raised;
        f.mouth = Mouth::frown;
        break;
    }
    return f;
}

PeaFace PeaFace::mark() {
    PeaFace f;
    f.blush = 0.5;
    f.sweatDrops = 1;
    return f;
}

PeaFace PeaFace::stuffed() {
    PeaFace f;
    f.eyes = Eyes::wide;
    f.brows = Brows::worried;
    f.mouth = Mouth::o;
    f.blush = 0.5;
    f.squash = 0.6;
    return f;
}

PeaFace PeaFace::cappedForMild() const {
    PeaFace f = *this;
    if (f.eyes == Eyes::dizzy) {
        f.eyes = Eyes::wide;
    }
    f.sweatDrops = std::min<std::int64_t>(f.sweatDrops, 2);
    f.melt = 0;
    return f;
}

PeaFace PeaFace::simplifiedForMenuBar() const {
    PeaFace f = *this;
    if (f.eyes == Eyes::dizzy || f.eyes == Eyes::pleading) {
        f.eyes = Eyes::wide;
    }
    f.brows = Brows::relaxed;
    f.blush = 0;
    f.leaf = LeafPose::resting;
    f.accessory = Accessory::none;
    f.sparkle = 0;
    f.confetti = 0;
    f.puff = 0;
    // At icon size only one effect reads; the most telling one wins.
    if (f.questionMark) {
        f.sweatDrops = 0;
        f.steam = 0;
        f.melt = 0;
        f.sleepZ = 0;
    } else if (f.sleepZ >= 1) {
        f.sleepZ = 1;
        f.sweatDrops = 0;
        f.steam = 0;
        f.melt = 0;
    } else if (f.melt > 0) {
        f.sweatDrops = 0;
    } else {
        f.steam = 0;
        f.sweatDrops = std::min<std::int64_t>(f.sweatDrops, 2);
    }
    return f;
}

PeaFace PeaFace::interpolated(const PeaFace& to, double progress) const {
    // A progress that cannot be computed shows the face being blended to, never a face of NaNs.
    const double t = std::isnan(progress) ? 1.0 : std::clamp(progress, 0.0, 1.0);
    PeaFace f = t < 0.5 ? *this : to;
    f.pupilOffset = lerp(pupilOffset, to.pupilOffset, t);
    f.blush = lerp(blush, to.blush, t);
    f.steam = lerp(steam, to.steam, t);
    f.melt = lerp(melt, to.melt, t);
    f.squash = lerp(squash, to.squash, t);
    f.sparkle = lerp(sparkle, to.sparkle, t);
    f.confetti = lerp(confetti, to.confetti, t);
    f.puff = lerp(puff, to.puff, t);
    return f;
}

bool operator==(const PeaFace& a, const PeaFace& b) {
    return a.eyes == b.eyes && sameAmount(a.pupilOffset, b.pupilOffset) && a.brows == b.brows &&
           a.mouth == b.mouth && sameAmount(a.blush, b.blush) && a.sweatDrops == b.sweatDrops &&
           sameAmount(a.steam, b.steam) && sameAmount(a.melt, b.melt) && sameAmount(a.squash, b.squash) &&
           a.leaf == b.leaf && a.accessory == b.accessory && a.sleepZ == b.sleepZ &&
           sameAmount(a.sparkle, b.sparkle) && sameAmount(a.confetti, b.confetti) &&
           a.questionMark == b.questionMark && sameAmount(a.puff, b.puff) &&
           sameAmount(a.dropFall, b.dropFall) && sameAmount(a.steamRise, b.steamRise) &&
           sameAmount(a.zRise, b.zRise) && sameAmount(a.jitter, b.jitter);
}

std::size_t PeaFace::hashValue() const noexcept {
    std::size_t h = caseHash(eyes);
    combine(h, amountHash(pupilOffset));
    combine(h, caseHash(brows));
    combine(h, caseHash(mouth));
    combine(h, amountHash(blush));
    combine(h, std::hash<std::int64_t>{}(sweatDrops));
    combine(h, amountHash(steam));
    combine(h, amountHash(melt));
    combine(h, amountHash(squash));
    combine(h, caseHash(leaf));
    combine(h, caseHash(accessory));
    combine(h, std::hash<std::int64_t>{}(sleepZ));
    combine(h, amountHash(sparkle));
    combine(h, amountHash(confetti));
    combine(h, std::hash<bool>{}(questionMark));
    combine(h, amountHash(puff));
    combine(h, amountHash(dropFall));
    combine(h, amountHash(steamRise));
    combine(h, amountHash(zRise));
    combine(h, amountHash(jitter));
    return h;
}

} // namespace halvrick
