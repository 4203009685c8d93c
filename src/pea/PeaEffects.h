#pragma once

#include "core/PeaFace.h"
#include "pea/PeaCanvas.h"

#include <array>

namespace halvrick {

// Blush, sweat drops, steam, sparkles and confetti. Each reads its amounts from the face and draws
// nothing when they are zero or below.
namespace PeaEffects {

struct DropPosition {
    double x;
    double y;
};
struct SteamWisp {
    double x;
    double bottom;
    double height;
};
struct Sparkle {
    double x;
    double y;
    double size;
};
struct ConfettiBit {
    double x;
    double y;
    double angle;
};

inline constexpr std::array<DropPosition, 4> dropPositions{{{87, 44}, {13, 52}, {82, 74}, {20, 30}}};
inline constexpr std::array<SteamWisp, 3> fullSteamWisps{{{70, 22, 16}, {80, 18, 18}, {90, 24, 14}}};
inline constexpr std::array<SteamWisp, 2> menuBarSteamWisps{{{76, 22, 20}, {88, 24, 18}}};
inline constexpr std::array<Sparkle, 3> sparkles{{{16, 24, 1.0}, {86, 20, 0.8}, {91, 62, 0.7}}};
inline constexpr std::array<ConfettiBit, 12> confettiBits{{{8, 30, 0.4},
                                                           {16, 12, -0.6},
                                                           {26, 5, 0.9},
                                                           {70, 5, -0.3},
                                                           {84, 10, 0.7},
                                                           {93, 26, -0.9},
                                                           {6, 52, 1.2},
                                                           {95, 46, 0.2},
                                                           {12, 74, -0.4},
                                                           {90, 70, 1.0},
                                                           {40, 4, 0.1},
                                                           {60, 3, -1.1}}};
// Confetti bursts out from here as its amount grows.
inline constexpr double confettiOriginX = 50;
inline constexpr double confettiOriginY = 24;

void drawBlush(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body);
void drawDrops(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen);
void drawSteam(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen);
void drawSparkles(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen);
void drawConfetti(const PeaCanvas& canvas, const PeaFace& face);

} // namespace PeaEffects

} // namespace halvrick
