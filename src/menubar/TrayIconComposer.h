#pragma once

#include "core/HeatState.h"
#include "core/PeaFace.h"
#include "model/MenuBarDisplay.h"
#include "pea/MenuBarIcons.h"
#include "pea/PeaStyle.h"

#include <QColor>
#include <QIcon>
#include <QRectF>
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

class QPainter;
class QPainterPath;
class QPalette;

namespace halvrick {

// The tray icon for each display setting. Trays show no text beside an icon, so the CPU figure is drawn
// into the square: a badge on the pea, or the digits alone; the full title goes in the tooltip. Every
// icon holds native renders at MenuBarIcons::pixelSizes. Main thread only.
class TrayIconComposer {
public:
    explicit TrayIconComposer(MenuBarIcons& icons = MenuBarIcons::shared());

    // One icon per face of the loop (`cpu`: a single icon of digits). Icons come back as the very same
    // objects while the rounded figure, style and tint stay the same, so the animator can tell a frame
    // already on show; identical faces of a loop share one icon. `tint` is the tray's text colour: it
    // colours the digits and a monochrome pea.
    std::vector<QIcon> frames(const std::vector<PeaFace>& faces, MenuBarDisplay display, double cpuLoad,
                              const PeaStyle& style, const QColor& tint);

    // The load (a percentage) rounded half away from zero and kept to 0...100; NaN reads 0.
    static int cpuPercent(double cpuLoad);
    // "48%".
    static QString cpuTitle(double cpuLoad);
    // "Halvrick: Sweating", the heat state even while the face shows another mood; the CPU modes add the
    // figure the icon has no room to spell out: "Halvrick: Sweating, CPU 48%".
    static QString toolTip(HeatState state, MenuBarDisplay display, double cpuLoad);
    // The tray's text colour: the one the tray asks for when it names one (its panel may be dark under a
    // light theme), else white on GNOME, whose top bar is dark whatever the theme, else the palette's.
    static QColor trayTint(const QPalette& palette, std::string_view currentDesktop,
                           const std::optional<QColor>& trayForeground = std::nullopt);

    // Drawing, on the 22-point square of MenuBarIcons::pointSize.
    // Where the pea sits beside a badge: smaller and at the top, so that even a three-digit badge leaves
    // its face clear.
    static QRectF badgedPeaRect();
    // Where the badge of `percent` sits: bottom right, as wide as its digits need.
    static QRectF badgeRect(int percent);
    // The badge over a pea already painted: a clear ring around it keeps it apart from the pea.
    static void paintBadge(QPainter& painter, int percent, const PeaStyle& style, const QColor& tint);
    // The figure alone, as large as the square allows; the percent sign only where it still reads.
    static void paintDigits(QPainter& painter, int percent, const QColor& tint);
    // The area paintDigits fills.
    static QRectF digitsRect(int percent);

private:
    struct Look {
        int percent;
        PeaStyle style;
        QRgb tint;
        friend bool operator==(const Look&, const Look&) = default;
    };

    using Images = std::array<QImage, MenuBarIcons::pixelSizes.size()>;
    // The badge of one look at every size, and the ring it clears around itself.
    struct BadgeLayers {
        Images ring;
        Images badge;
    };

    // paintBadge with the figure's outline and the badge's place already worked out.
    static void paintBadgeAround(QPainter& painter, const QPainterPath& outline, const QRectF& badge,
                                 const PeaStyle& style, const QColor& tint);
    QIcon badged(const MenuBarIcons::Frame& frame, const Look& look);
    QIcon digits(const Look& look);
    void forgetUnless(const Look& look);
    const Images& smallPea(const MenuBarIcons::Frame& frame);
    const BadgeLayers& badgeLayers(const Look& look);

    MenuBarIcons& icons_;
    // Composed icons of the current look only, so a changing figure never grows the cache.
    std::optional<Look> look_;
    std::map<std::int64_t, QIcon> badged_;
    std::optional<QIcon> digits_;
    std::optional<BadgeLayers> badgeLayers_;
    // The pea at badgedPeaRect for every frame ever badged (frames are never pruned either), so a new
    // figure only costs its badge and one blit per frame.
    std::map<std::int64_t, Images> smallPeas_;
};

} // namespace halvrick
