#pragma once

#include "core/PeaFace.h"

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <functional>

class QPainter;

namespace halvrick {

// The body ellipse in design units (a 100 x 100 square, y growing downwards).
struct PeaBody {
    double centerX = 50;
    double centerY = 56;
    double radiusX = 35;
    double radiusY = 32;

    // Melting lowers, widens and flattens the pea; a positive squash makes it wide, a negative one tall.
    static PeaBody of(const PeaFace& face);
    double top() const { return centerY - radiusY; }
    double bottom() const { return centerY + radiusY; }
    double left() const { return centerX - radiusX; }
    double right() const { return centerX + radiusX; }
    QRectF rect() const { return {left(), top(), 2 * radiusX, 2 * radiusY}; }
};

// Line width and feature size at one level of detail.
struct PeaPen {
    double lineWidth = 2.6;
    // Eyes and mouth grow in the tray so they still read at icon size.
    double featureScale = 1.0;
    PeaFace::Detail detail = PeaFace::Detail::full;
    bool monochrome = false;

    bool full() const { return detail == PeaFace::Detail::full; }
    // Width of the clear ring that keeps a black shape apart from the black body in monochrome.
    double ringWidth() const;
};

// Stroke ends: plain is a flat cap with a mitre join (limit 10, bevelled past it); round rounds both.
enum class PeaLineEnds { plain, round };

// A path that fills by the winding rule, so overlapping shapes never cancel into holes.
QPainterPath peaPath();
QPainterPath peaEllipse(const QRectF& rect);
QPainterPath peaEllipse(QPointF center, double width, double height);
// `path`, drawn around the origin, turned by `radians` (clockwise on screen) and then moved to `anchor`.
QPainterPath placed(const QPainterPath& path, double radians, QPointF anchor);

// The painter in design units, seen as two contexts: the plain one, and the cut one whose shapes punch
// holes into what lies below in monochrome (without monochrome they are the same). In monochrome every
// colour is black. Cut-outs are only right on a transparent layer holding nothing but the pea.
class PeaCanvas {
public:
    enum class Layer { plain, cut };

    PeaCanvas(QPainter& painter, bool monochrome);

    bool monochrome() const { return monochrome_; }
    // A copy that draws faded by `opacity`, on top of this one's own fading.
    PeaCanvas faded(double opacity) const;

    void fill(const QPainterPath& path, const QColor& color, Layer layer = Layer::plain) const;
    void stroke(const QPainterPath& path, const QColor& color, double width, PeaLineEnds ends,
                Layer layer = Layer::plain) const;
    // Runs `draw` with everything it paints clipped to `clip`.
    void clipped(const QPainterPath& clip, const std::function<void()>& draw) const;

private:
    void prepare(Layer layer) const;
    QColor shown(const QColor& color) const;

    QPainter* painter_;
    bool monochrome_;
    double opacity_ = 1;
};

} // namespace halvrick
