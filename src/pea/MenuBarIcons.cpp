#include "pea/MenuBarIcons.h"

#include "pea/PeaRenderer.h"

#include <QPainter>
#include <QPixmap>

namespace halvrick {

namespace {

void combine(std::size_t& seed, std::size_t h) noexcept {
    seed ^= h + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

// Keeps the shape and its holes and replaces the black with the tint.
void tintImage(QImage& image, const QColor& color) {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
}

} // namespace

MenuBarIcons::MenuBarIcons(Render render) : render_(render ? std::move(render) : Render(drawFrame)) {}

MenuBarIcons& MenuBarIcons::shared() {
    // Kept to the very end: icons must not outlive the application object in a static destructor.
    static auto* icons = new MenuBarIcons;
    return *icons;
}

std::size_t MenuBarIcons::KeyHash::operator()(const Key& key) const noexcept {
    std::size_t h = key.face.hashValue();
    combine(h, std::hash<bool>{}(key.style.monochrome));
    combine(h, std::hash<bool>{}(key.style.highContrast));
    combine(h, std::hash<QRgb>{}(key.tint));
    return h;
}

MenuBarIcons::Key MenuBarIcons::keyFor(const PeaFace& face, const PeaStyle& style, const QColor& tint) {
    // Colour frames are never tinted, so the tint must not split them.
    return {face.simplifiedForMenuBar(), style, style.monochrome ? tint.rgba() : QRgb(0)};
}

QImage MenuBarIcons::drawFrame(const PeaFace& face, const PeaStyle& style, int pixels) {
    // Drawn at 22 points so the outline stays one point wide at every size.
    QImage image = PeaRenderer::image(face, PeaFace::Detail::menuBar, style, QSizeF(pointSize, pointSize),
                                      pixels / pointSize);
    image.setDevicePixelRatio(1);
    return image;
}

MenuBarIcons::Frame MenuBarIcons::frame(const PeaFace& face, const PeaStyle& style, const QColor& tint) {
    const Key key = keyFor(face, style, tint);
    if (const auto found = cache_.find(key); found != cache_.end()) {
        return found->second;
    }
    Frame frame;
    for (std::size_t i = 0; i < pixelSizes.size(); ++i) {
        QImage image = render_(key.face, style, pixelSizes[i]);
        if (style.monochrome && !image.isNull()) {
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            tintImage(image, QColor::fromRgba(key.tint));
        }
        if (!image.isNull()) {
            frame.icon.addPixmap(QPixmap::fromImage(image));
        }
        frame.images[i] = std::move(image);
    }
    return cache_.emplace(key, std::move(frame)).first->second;
}

bool MenuBarIcons::contains(const PeaFace& face, const PeaStyle& style, const QColor& tint) const {
    return cache_.contains(keyFor(face, style, tint));
}

void MenuBarIcons::prewarm(const std::vector<PeaFace>& faces, const PeaStyle& style, const QColor& tint) {
    for (const PeaFace& face : faces) {
        frame(face, style, tint);
    }
}

} // namespace halvrick
