#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>

class QPainter;

namespace halvrick {

// The small symbols of the interface, painted so they look the same under every icon theme (and
// where there is none).
enum class Glyph {
    chevronRight,
    ellipsisCircle,
    gear,
    infoCircle,
    circle,
    checkmarkCircle,
    xmarkCircle,
    flag,
};

class Glyphs {
public:
    // Draws the symbol centred in `area`, in `colour`.
    static void paint(QPainter& painter, Glyph glyph, const QRectF& area, const QColor& colour);
    // The symbol as an icon of `size` pixels, sharp at every device pixel ratio up to 3.
    static QIcon icon(Glyph glyph, const QColor& colour, int size);
};

} // namespace halvrick
