#include "ui/PngExport.h"

#include "core/Error.h"
#include "ui/AtomicFile.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFileInfo>
#include <QPainter>
#include <cmath>

namespace halvrick::PngExport {

QImage render(const CardPainter& paint, QSizeF size, qreal scale) {
    if (!paint || !(scale > 0) || !std::isfinite(scale) || size.isEmpty()) {
        return {};
    }
    const int width = qRound(size.width() * scale);
    const int height = qRound(size.height() * scale);
    if (width < 1 || height < 1) {
        return {};
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return {};
    }
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(scale);
    image.setColorSpace(QColorSpace::SRgb);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        paint(painter, size);
    }
    return image;
}

std::optional<QByteArray> pngData(const CardPainter& paint, QSizeF size, qreal scale) {
    const QImage image = render(paint, size, scale);
    if (image.isNull()) {
        return std::nullopt;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") || bytes.isEmpty()) {
        return std::nullopt;
    }
    return bytes;
}

void writePNG(const CardPainter& paint, QSizeF size, qreal scale, const QString& path) {
    const std::optional<QByteArray> bytes = pngData(paint, size, scale);
    if (!bytes) {
        throw Error("renderFailed(\"" + QFileInfo(path).fileName().toStdString() + "\")");
    }
    if (const auto error = AtomicFile::write(path, *bytes)) {
        throw Error(error->toStdString());
    }
}

} // namespace halvrick::PngExport
