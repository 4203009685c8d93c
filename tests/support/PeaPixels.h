#pragma once

#include "core/PeaFace.h"
#include "pea/PeaRenderer.h"

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <ostream>

namespace halvrick {

inline void PrintTo(const PeaStyle& style, std::ostream* os) {
    *os << (style.monochrome ? "monochrome" : style.highContrast ? "highContrast" : "colour");
}

// Square test renders: 200 pixels for the 100-unit design square.
inline constexpr double probeSize = 200;

inline QImage render(const PeaFace& face, PeaFace::Detail detail = PeaFace::Detail::full,
                     const PeaStyle& style = {}) {
    return PeaRenderer::image(face, detail, style, QSizeF(probeSize, probeSize));
}

// The pixel under a point of the design square.
inline QColor at(const QImage& image, double x, double y) {
    const double k = image.width() / 100.0;
    return image.pixelColor(static_cast<int>(x * k), static_cast<int>(y * k));
}

inline bool near(const QColor& a, const QColor& b, int tolerance = 10) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

} // namespace halvrick

inline void PrintTo(const QColor& c, std::ostream* os) {
    *os << "rgba(" << c.red() << ", " << c.green() << ", " << c.blue() << ", " << c.alpha() << ")";
}
