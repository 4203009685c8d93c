#include "pea/PeaStyle.h"

namespace halvrick {

std::size_t PeaStyle::hashValue() const noexcept {
    std::size_t h = std::hash<bool>{}(monochrome);
    h ^= std::hash<bool>{}(highContrast) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
}

namespace PeaPalette {

const QColor& body() {
    static const QColor c(139, 203, 90);
    return c;
}
const QColor& shade() {
    static const QColor c(95, 163, 58);
    return c;
}
const QColor& outline() {
    static const QColor c(46, 74, 31);
    return c;
}
const QColor& leaf() {
    static const QColor c(109, 179, 63);
    return c;
}
const QColor& drop() {
    static const QColor c(91, 192, 248);
    return c;
}
const QColor& blush() {
    static const QColor c(255, 143, 163);
    return c;
}
const QColor& tongue() {
    static const QColor c(232, 104, 126);
    return c;
}
const QColor& sleepMask() {
    static const QColor c(122, 107, 192);
    return c;
}
const QColor& partyHat() {
    static const QColor c(255, 111, 168);
    return c;
}
const QColor& hatStripe() {
    static const QColor c(255, 216, 77);
    return c;
}
const QColor& sparkle() {
    static const QColor c(255, 200, 61);
    return c;
}
const std::array<QColor, 5>& confetti() {
    static const std::array<QColor, 5> c{partyHat(), hatStripe(), drop(), body(), QColor(155, 123, 255)};
    return c;
}

} // namespace PeaPalette

} // namespace halvrick
