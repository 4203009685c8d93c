#include "menubar/PopoverPlacement.h"

#include <QPointF>
#include <QRectF>
#include <algorithm>

namespace halvrick::PopoverPlacement {

namespace {

// The one-pixel rectangle at a point.
QRect pixelAt(QPoint point) {
    return QRect(point, QSize(1, 1));
}

QRect cornerAnchor(const ScreenArea& screen) {
    const QRect& g = screen.geometry;
    const QRect& a = screen.available;
    // Both cut (a top bar and a bottom dock) means the tray is most likely in the top bar.
    const bool bottomPanel = a.bottom() < g.bottom() && a.top() <= g.top();
    return pixelAt(QPoint(g.right(), bottomPanel ? g.bottom() : g.top()));
}

std::optional<QRect> chosenAnchor(const Request& request) {
    if (request.trayGeometry && !request.trayGeometry->isEmpty()) {
        return request.trayGeometry;
    }
    if (request.cursorAtClick) {
        return pixelAt(*request.cursorAtClick);
    }
    if (request.lastAnchor && !request.lastAnchor->isEmpty()) {
        return request.lastAnchor;
    }
    if (!request.screens.empty()) {
        return cornerAnchor(request.screens.front());
    }
    return std::nullopt;
}

// The screen showing the anchor's centre; an anchor left on a screen that is gone falls back to the
// primary one and is then pulled onto it.
const ScreenArea* screenFor(const QRect& anchor, const std::vector<ScreenArea>& screens) {
    const QPointF centre = QRectF(anchor).center();
    for (const ScreenArea& screen : screens) {
        if (QRectF(screen.geometry).contains(centre)) {
            return &screen;
        }
    }
    return screens.empty() ? nullptr : &screens.front();
}

Edge edgeFor(const QRect& anchor, const ScreenArea& screen) {
    const QPointF c = QRectF(anchor).center();
    const QRectF available(screen.available);
    // An anchor in the strip a panel takes from the screen names that panel's edge.
    if (c.y() < available.top()) {
        return Edge::top;
    }
    if (c.y() > available.bottom()) {
        return Edge::bottom;
    }
    if (c.x() < available.left()) {
        return Edge::left;
    }
    if (c.x() > available.right()) {
        return Edge::right;
    }
    // Panels that reserve no space: trays sit at the top or the bottom far more often than at a side.
    return c.y() < QRectF(screen.geometry).center().y() ? Edge::top : Edge::bottom;
}

QPoint besideAnchor(const QRect& anchor, QSize size, Edge edge, int gap) {
    const int centredX = anchor.left() + (anchor.width() - size.width()) / 2;
    const int centredY = anchor.top() + (anchor.height() - size.height()) / 2;
    switch (edge) {
    case Edge::top:
        return {centredX, anchor.top() + anchor.height() + gap};
    case Edge::bottom:
        return {centredX, anchor.top() - gap - size.height()};
    case Edge::left:
        return {anchor.left() + anchor.width() + gap, centredY};
    case Edge::right:
        return {anchor.left() - gap - size.width(), centredY};
    }
    return {centredX, anchor.top() + anchor.height() + gap};
}

int clamped(int value, int low, int length, int span) {
    return std::max(low, std::min(value, low + length - span));
}

} // namespace

std::optional<QRect> availableArea(const Request& request) {
    const std::optional<QRect> anchor = chosenAnchor(request);
    const ScreenArea* screen = anchor ? screenFor(*anchor, request.screens) : nullptr;
    return screen ? std::optional(screen->available) : std::nullopt;
}

Placement place(const Request& request) {
    const std::optional<QRect> anchor = chosenAnchor(request);
    if (!anchor) {
        return {};
    }
    const ScreenArea* screen = screenFor(*anchor, request.screens);
    if (!screen) {
        return {besideAnchor(*anchor, request.size, Edge::top, request.gap), *anchor, Edge::top};
    }
    const Edge edge = edgeFor(*anchor, *screen);
    const QPoint wanted = besideAnchor(*anchor, request.size, edge, request.gap);
    const QRect& area = screen->available;
    const QPoint topLeft(clamped(wanted.x(), area.left(), area.width(), request.size.width()),
                         clamped(wanted.y(), area.top(), area.height(), request.size.height()));
    return {topLeft, *anchor, edge};
}

} // namespace halvrick::PopoverPlacement
