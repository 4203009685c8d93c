#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>

class QPainter;

namespace halvrick {

// Draws a picture into the area (0, 0, size) of the painter, in points. Every card and exported
// picture is one of these, called by its widget on screen and by the export, so both show the same.
using CardPainter = std::function<void(QPainter& painter, QSizeF size)>;

// The one road from a painter function to a PNG file. Main thread only; needs a QGuiApplication.
namespace PngExport {

// The picture on a transparent image of size x scale pixels (rounded); a null image for an empty size
// or a scale that is not positive.
QImage render(const CardPainter& paint, QSizeF size, qreal scale);
// The rendered picture as PNG bytes; nothing when rendering or encoding failed.
std::optional<QByteArray> pngData(const CardPainter& paint, QSizeF size, qreal scale);
// Renders and writes the PNG atomically (AtomicFile), replacing an existing file. Throws Error:
// `renderFailed("<file name>")` when there is nothing to write, before any file or folder is touched;
// otherwise the reason the folder or file could not be written.
void writePNG(const CardPainter& paint, QSizeF size, qreal scale, const QString& path);

} // namespace PngExport

} // namespace halvrick
