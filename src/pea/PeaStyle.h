#pragma once

#include <QColor>
#include <array>
#include <cstddef>
#include <functional>

namespace halvrick {

// How the pea is coloured. It is half of the tray icon cache key, so equality and hashing are exact.
struct PeaStyle {
    bool monochrome = false;
    bool highContrast = false;

    friend bool operator==(const PeaStyle&, const PeaStyle&) = default;
    std::size_t hashValue() const noexcept;
};

// The mascot's colours (sRGB).
namespace PeaPalette {

const QColor& body();
const QColor& shade();
const QColor& outline();
const QColor& leaf();
const QColor& drop();
const QColor& blush();
const QColor& tongue();
const QColor& sleepMask();
const QColor& partyHat();
const QColor& hatStripe();
const QColor& sparkle();
// Confetti pieces take these in turn.
const std::array<QColor, 5>& confetti();

} // namespace PeaPalette

} // namespace halvrick

template <> struct std::hash<halvrick::PeaStyle> {
    std::size_t operator()(const halvrick::PeaStyle& style) const noexcept { return style.hashValue(); }
};
