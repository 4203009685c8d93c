#pragma once

#include "ui/PngExport.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace halvrick {

// A painter function as an SVG document, for pictures that must scale. Qt's SVG generator drops clips,
// so every clipped shape is cut to its clip before it is written; strokes under a clip become fills.
// Images (a blurred shadow) are embedded as PNG data, unclipped. Main thread only.
namespace SvgPicture {

// The document of `size` pixels (its view box too), titled `title`.
QByteArray render(const CardPainter& paint, QSize size, const QString& title);

} // namespace SvgPicture

} // namespace halvrick
