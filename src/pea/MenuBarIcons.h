#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <array>
#include <cstddef>
#include <functional>
#include <unordered_map>
#include <vector>

namespace halvrick {

// Tray frames rendered once per face and style and then only looked up, so the tray animation never
// draws vector shapes per frame. Main thread only; never pruned (the set of tray faces is small).
class MenuBarIcons {
public:
    // Tray icons are 22 points square, rendered natively at each size trays ask for.
    static constexpr double pointSize = 22;
    static constexpr std::array<int, 4> pixelSizes{22, 32, 44, 64};

    // One frame: the pea at each of `pixelSizes` (in that order) and an icon holding them all. Copies
    // share the same icon, so a frame that is already on show can be recognised by its cache key.
    struct Frame {
        std::array<QImage, pixelSizes.size()> images;
        QIcon icon;
    };

    // Draws a tray face (already simplified) at one pixel size, untinted.
    using Render = std::function<QImage(const PeaFace& face, const PeaStyle& style, int pixels)>;

    explicit MenuBarIcons(Render render = drawFrame);

    // The one cache of the application.
    static MenuBarIcons& shared();

    // The frame of `face` (simplified for the tray here) in `style`, rendered on first use. Trays cannot
    // tint images themselves, so a monochrome pea is tinted `tint` by hand; colour frames ignore it.
    Frame frame(const PeaFace& face, const PeaStyle& style, const QColor& tint = Qt::black);
    bool contains(const PeaFace& face, const PeaStyle& style, const QColor& tint = Qt::black) const;
    // Renders every one of `faces` that is not cached yet.
    void prewarm(const std::vector<PeaFace>& faces, const PeaStyle& style, const QColor& tint = Qt::black);
    std::size_t size() const { return cache_.size(); }

    static QImage drawFrame(const PeaFace& face, const PeaStyle& style, int pixels);

private:
    struct Key {
        PeaFace face;
        PeaStyle style;
        QRgb tint;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept;
    };

    static Key keyFor(const PeaFace& face, const PeaStyle& style, const QColor& tint);

    Render render_;
    std::unordered_map<Key, Frame, KeyHash> cache_;
};

} // namespace halvrick
