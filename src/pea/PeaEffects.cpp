#include "pea/PeaEffects.h"

#include "pea/PeaStyle.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace halvrick::PeaEffects {

namespace {

using Layer = PeaCanvas::Layer;

QPainterPath teardrop(double x, double y, double k) {
    QPainterPath path = peaPath();
    path.moveTo(x, y - 7 * k);
    path.cubicTo(QPointF(x + 6 * k, y - k), QPointF(x + 5 * k, y + 5 * k), QPointF(x, y + 5 * k));
    path.cubicTo(QPointF(x - 5 * k, y + 5 * k), QPointF(x - 6 * k, y - k), QPointF(x, y - 7 * k));
    path.closeSubpath();
    return path;
}

// How far the drops have fallen (0 to 1) and how visible they still are: they fade out over the last
// quarter of the fall.
struct Fall {
    double distance;
    double opacity;
};

Fall fall(double dropFall) {
    if (dropFall <= 0) {
        return {0, 1};
    }
    if (dropFall > 1) {
        return {1, 0};
    }
    if (dropFall > 0.75) {
        return {dropFall, (1 - dropFall) * 4};
    }
    return {dropFall, 1};
}

template <std::size_t N>
QPainterPath wisps(const std::array<SteamWisp, N>& table, double lift, double wiggle) {
    QPainterPath path = peaPath();
    for (const SteamWisp& wisp : table) {
        const double b = wisp.bottom - lift;
        const double h = wisp.height;
        path.moveTo(wisp.x, b);
        path.quadTo(QPointF(wisp.x + wiggle, b - h / 4), QPointF(wisp.x, b - h / 2));
        path.quadTo(QPointF(wisp.x - wiggle, b - 3 * h / 4), QPointF(wisp.x, b - h));
    }
    return path;
}

} // namespace

void drawBlush(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body) {
    if (!(face.blush > 0)) {
        return;
    }
    QColor color = PeaPalette::blush();
    color.setAlphaF(static_cast<float>(std::min(face.blush, 1.0) * 0.85));
    QPainterPath cheeks = peaEllipse(QRectF(21.5, body.centerY + 3, 11, 6));
    cheeks.addEllipse(QRectF(67.5, body.centerY + 3, 11, 6));
    canvas.fill(cheeks, color);
}

void drawDrops(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen) {
    if (face.sweatDrops <= 0) {
        return;
    }
    const double k = pen.full() ? 1.0 : 1.6;
    const Fall f = fall(face.dropFall);
    const PeaCanvas faded = canvas.faded(f.opacity);
    const auto count =
        static_cast<std::size_t>(std::min<std::int64_t>(face.sweatDrops, dropPositions.size()));
    for (std::size_t i = 0; i < count; ++i) {
        const double x = dropPositions[i].x;
        const double y = dropPositions[i].y + 8 * f.distance;
        const QPainterPath drop = teardrop(x, y, k);
        if (pen.monochrome) {
            faded.stroke(drop, Qt::black, pen.ringWidth(), PeaLineEnds::plain, Layer::cut);
            faded.fill(drop, Qt::black);
            continue;
        }
        faded.fill(drop, PeaPalette::drop());
        faded.stroke(drop, PeaPalette::outline(), 0.6 * pen.lineWidth, PeaLineEnds::plain);
        if (pen.full()) {
            faded.fill(peaEllipse({x - 1.6, y + 1}, 1.8, 2.8), Qt::white);
        }
    }
}

void drawSteam(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen) {
    if (!(face.steam > 0)) {
        return;
    }
    const double rise = std::clamp(face.steamRise, 0.0, 1.0);
    const QPainterPath path =
        pen.full() ? wisps(fullSteamWisps, 7 * rise, 3.0) : wisps(menuBarSteamWisps, 5 * rise, 3.5);
    const double core = pen.full() ? 3.2 : 1.2 * pen.lineWidth;
    const PeaCanvas faded = canvas.faded(std::min(1.0, face.steam) * (1 - 0.6 * rise));
    if (pen.monochrome) {
        canvas.stroke(path, Qt::black, core + pen.ringWidth(), PeaLineEnds::round, Layer::cut);
        faded.stroke(path, Qt::black, core, PeaLineEnds::round);
        return;
    }
    faded.stroke(path, PeaPalette::outline(), core + 1.2 * pen.lineWidth, PeaLineEnds::round);
    faded.stroke(path, Qt::white, core, PeaLineEnds::round);
}

void drawSparkles(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen) {
    if (!(face.sparkle > 0)) {
        return;
    }
    const double a = std::min(1.0, face.sparkle);
    QPainterPath stars = peaPath();
    for (const Sparkle& s : sparkles) {
        const double r = 7 * a * s.size;
        const QPointF c(s.x, s.y);
        stars.moveTo(s.x, s.y - r);
        stars.quadTo(c, QPointF(s.x + r, s.y));
        stars.quadTo(c, QPointF(s.x, s.y + r));
        stars.quadTo(c, QPointF(s.x - r, s.y));
        stars.quadTo(c, QPointF(s.x, s.y - r));
    }
    canvas.fill(stars, PeaPalette::sparkle());
    if (!pen.monochrome) {
        canvas.stroke(stars, PeaPalette::outline(), 0.4 * pen.lineWidth, PeaLineEnds::plain);
    }
}

void drawConfetti(const PeaCanvas& canvas, const PeaFace& face) {
    if (!(face.confetti > 0)) {
        return;
    }
    const double c = std::min(1.0, face.confetti);
    QPainterPath piece = peaPath();
    piece.addRect(QRectF(-2.2, -1.3, 4.4, 2.6));
    for (std::size_t i = 0; i < confettiBits.size(); ++i) {
        const ConfettiBit& bit = confettiBits[i];
        const QPointF at(confettiOriginX + (bit.x - confettiOriginX) * c,
                         confettiOriginY + (bit.y - confettiOriginY) * c);
        canvas.fill(placed(piece, bit.angle, at), PeaPalette::confetti()[i % PeaPalette::confetti().size()]);
    }
}

} // namespace halvrick::PeaEffects
