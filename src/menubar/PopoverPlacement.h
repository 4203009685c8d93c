#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

namespace halvrick {

// Where the popover (and a bubble) goes on screen. Trays on Linux tell us very different amounts about
// themselves, so the anchor is the best of what is known, and the panel opens away from the screen edge
// the tray sits on. Pure: the caller gathers screens, cursor and tray geometry.
namespace PopoverPlacement {

struct ScreenArea {
    QRect geometry;
    // The geometry less the desktop's panels.
    QRect available;
};

// The side of the screen the anchor sits on; the panel opens away from it.
enum class Edge { top, bottom, left, right };

struct Request {
    // The size of the panel to place.
    QSize size;
    // Only an XEmbed tray reports its icon's geometry; a StatusNotifierItem reports an empty rectangle,
    // which counts as none.
    std::optional<QRect> trayGeometry;
    // The pointer when the icon was clicked.
    std::optional<QPoint> cursorAtClick;
    // The anchor of the last placement: heads-ups and reminders arrive without a click.
    std::optional<QRect> lastAnchor;
    // The primary screen first.
    std::vector<ScreenArea> screens;
    // Between the anchor and the panel.
    int gap = 4;
};

struct Placement {
    QPoint topLeft;
    // What the panel was placed against; keep it as the next request's lastAnchor.
    QRect anchor;
    Edge edge = Edge::top;
};

// Anchor, first that exists: the tray geometry, the cursor at the click, the last anchor, else the
// corner where a desktop panel most likely holds the tray (top right of the primary screen, bottom right
// when its available area is cut at the bottom). The panel opens below an anchor on a top panel, above
// one on a bottom panel, beside one on a side panel, centred on the anchor along that edge, and is then
// moved into the available area of the anchor's screen (its top-left corner wins when it is larger).
// With no screens at all the panel goes below the anchor, unclamped.
Placement place(const Request& request);

// The available area of the screen the panel would go on; none without screens. A panel taller than
// it must shrink to fit.
std::optional<QRect> availableArea(const Request& request);

} // namespace PopoverPlacement

} // namespace halvrick
