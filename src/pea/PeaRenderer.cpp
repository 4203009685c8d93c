#include "pea/PeaRenderer.h"

#include "pea/PeaCanvas.h"
#include "pea/PeaEffects.h"
#include "pea/PeaFeatures.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace halvrick::PeaRenderer {

namespace {

using Layer = PeaCanvas::Layer;
using Detail = PeaFace::Detail;

// A number that cannot be drawn draws as nothing, like an amount of zero.
double drawable(double x) {
    return std::isfinite(x) ? x : 0;
}

PeaFace drawableFace(PeaFace f) {
    for (double* x : {&f.pupilOffset, &f.blush, &f.steam, &f.melt, &f.squash, &f.sparkle, &f.confetti,
                      &f.puff, &f.dropFall, &f.steamRise, &f.zRise, &f.jitter}) {
        *x = drawable(*x);
    }
    return f;
}

// Leaves are green with an outline; in monochrome a clear ring keeps the black leaf apart from the body.
void drawLeaf(const PeaCanvas& canvas, const QPainterPath& leaf, const PeaPen& pen) {
    if (pen.monochrome) {
        canvas.stroke(leaf, Qt::black, pen.ringWidth(), PeaLineEnds::plain, Layer::cut);
        canvas.fill(leaf, Qt::black);
        return;
    }
    canvas.fill(leaf, PeaPalette::leaf());
    canvas.stroke(leaf, PeaPalette::outline(), 0.9 * pen.lineWidth, PeaLineEnds::plain);
}

void drawPuddle(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen) {
    if (!(face.melt > 0)) {
        return;
    }
    const double spread = std::min(face.melt, 1.1);
    const QPainterPath puddle = peaEllipse({50, body.bottom()}, 86 * spread, 12 * spread);
    if (pen.monochrome) {
        canvas.fill(puddle, Qt::black);
        return;
    }
    canvas.fill(puddle, PeaPalette::body());
    canvas.stroke(puddle, PeaPalette::outline(), pen.lineWidth, PeaLineEnds::plain);
}

void drawBody(const PeaCanvas& canvas, const PeaBody& body, const PeaPen& pen, bool highContrast) {
    const QPainterPath ellipse = peaEllipse(body.rect());
    if (pen.monochrome) {
        canvas.fill(ellipse, Qt::black);
        return;
    }
    if (pen.full() && !highContrast) {
        // A lit area up and to the left leaves a shaded crescent at the lower right.
        canvas.fill(ellipse, PeaPalette::shade());
        canvas.clipped(ellipse, [&] {
            canvas.fill(peaEllipse(body.rect().translated(-5, -6).adjusted(2, 2, -2, -2)),
                        PeaPalette::body());
        });
    } else {
        canvas.fill(ellipse, PeaPalette::body());
    }
    canvas.stroke(ellipse, PeaPalette::outline(), pen.lineWidth, PeaLineEnds::plain);
}

void drawStemAndLeaf(const PeaCanvas& canvas, const PeaBody& body, const PeaPen& pen) {
    const double top = body.top();
    QPainterPath stem = peaPath();
    stem.moveTo(50, top + 2);
    stem.quadTo(QPointF(51, top - 4), QPointF(47, top - 9));
    canvas.stroke(stem, PeaPalette::outline(), 1.2 * pen.lineWidth, PeaLineEnds::round);
    drawLeaf(canvas, placed(peaEllipse(QRectF(-10, -5, 20, 10)), -0.45, {59, top - 7}), pen);
}

void drawBrows(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen) {
    const double y = body.centerY - 15;
    QPainterPath brows = peaPath();
    const auto line = [&](QPointF from, QPointF to) {
        brows.moveTo(from);
        brows.lineTo(to);
    };
    const auto arch = [&](QPointF from, QPointF control, QPointF to) {
        brows.moveTo(from);
        brows.quadTo(control, to);
    };
    switch (face.brows) {
    case PeaFace::Brows::relaxed:
        return;
    case PeaFace::Brows::worried:
        line({30, y}, {42, y - 3.5});
        line({70, y}, {58, y - 3.5});
        break;
    case PeaFace::Brows::annoyed:
        line({30, y - 3}, {42, y + 1});
        line({70, y - 3}, {58, y + 1});
        break;
    case PeaFace::Brows::raised:
        arch({30, y - 2}, {36.5, y - 7}, {43, y - 2});
        arch({57, y - 2}, {63.5, y - 7}, {70, y - 2});
        break;
    case PeaFace::Brows::confused:
        line({30, y - 1}, {42, y - 1});
        arch({57, y - 2}, {63.5, y - 8}, {70, y - 2});
        break;
    }
    canvas.stroke(brows, PeaPalette::outline(), 0.9 * pen.lineWidth, PeaLineEnds::round, Layer::cut);
}

void drawArmLeaf(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen) {
    const double r = body.right();
    const double cy = body.centerY;
    const auto leaf = [](QRectF rect, double radians, QPointF anchor) {
        return placed(peaEllipse(rect), radians, anchor);
    };
    switch (face.leaf) {
    case PeaFace::LeafPose::resting:
        return;
    case PeaFace::LeafPose::pointing:
        drawLeaf(canvas, leaf({-13, -4.5, 26, 9}, 0.5, {r - 1, cy + 15}), pen);
        return;
    case PeaFace::LeafPose::waving: {
        QPainterPath marks = peaPath();
        marks.moveTo(r + 10, cy - 30);
        marks.quadTo(QPointF(r + 15, cy - 27), QPointF(r + 14, cy - 20));
        marks.moveTo(r + 14, cy - 34);
        marks.quadTo(QPointF(r + 20, cy - 30), QPointF(r + 19, cy - 22));
        canvas.stroke(marks, PeaPalette::outline(), 0.6 * pen.lineWidth, PeaLineEnds::round);
        drawLeaf(canvas, leaf({-11, -4.5, 22, 9}, -1.1, {r + 2, cy - 15}), pen);
        return;
    }
    case PeaFace::LeafPose::wipingBrow:
        drawLeaf(canvas, leaf({-14, -4.5, 28, 9}, -0.5, {r - 6, cy - 17}), pen);
        return;
    case PeaFace::LeafPose::thumbsUp: {
        QPainterPath hand = leaf({-5, -10, 10, 20}, 0, {r + 1, cy + 6});
        hand.addPath(leaf({-3, -5.5, 6, 11}, -0.5, {r - 3, cy - 7}));
        drawLeaf(canvas, hand, pen);
        return;
    }
    case PeaFace::LeafPose::shushing:
        drawLeaf(canvas, leaf({-5.5, -13, 11, 26}, 0.1, {50, cy + 12}), pen);
        return;
    }
}

void drawPuff(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen) {
    if (!(face.puff > 0) || pen.monochrome) {
        return;
    }
    const double y = body.centerY + 13;
    QPainterPath cloud = peaEllipse(QRectF(63, y - 2, 8, 8));
    cloud.addEllipse(QRectF(69, y - 5, 10, 10));
    cloud.addEllipse(QRectF(77, y - 1, 7, 7));
    const PeaCanvas faded = canvas.faded(std::min(1.0, face.puff));
    QColor white(Qt::white);
    white.setAlphaF(0.9f);
    QColor outline = PeaPalette::outline();
    outline.setAlphaF(0.5f);
    faded.fill(cloud, white);
    faded.stroke(cloud, outline, 0.5 * pen.lineWidth, PeaLineEnds::plain);
}

void drawSleepLetters(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen) {
    if (face.sleepZ <= 0) {
        return;
    }
    const std::int64_t n = std::min<std::int64_t>(face.sleepZ, 3);
    const double rise = std::clamp(face.zRise, 0.0, 1.0);
    QPainterPath letters = peaPath();
    for (std::int64_t i = 0; i < n; ++i) {
        // Full detail: letters grow and climb to the upper right; the tray shows one large letter.
        const double z = pen.full() ? 8 + 3.0 * i : 22;
        const double x = pen.full() ? 72 + 7.0 * i : 72;
        const double y = pen.full() ? 20 - 9.0 * i - 6 * rise : 3 - 6 * rise;
        letters.moveTo(x, y);
        letters.lineTo(x + z, y);
        letters.lineTo(x, y + z);
        letters.lineTo(x + z, y + z);
    }
    canvas.faded(1 - 0.6 * rise)
        .stroke(letters, PeaPalette::outline(), pen.full() ? 2.2 : pen.lineWidth, PeaLineEnds::round);
}

void drawQuestionMark(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen) {
    if (!face.questionMark) {
        return;
    }
    QPainterPath hook = peaPath();
    hook.moveTo(76, 9);
    hook.quadTo(QPointF(76, 2), QPointF(83, 2));
    hook.quadTo(QPointF(90, 2), QPointF(90, 9));
    hook.quadTo(QPointF(90, 13), QPointF(83, 16));
    hook.lineTo(83, 19);
    canvas.stroke(hook, PeaPalette::outline(), pen.full() ? 3.0 : 1.1 * pen.lineWidth, PeaLineEnds::round);
    const double dot = pen.full() ? 4.0 : 5.6;
    canvas.fill(peaEllipse({83, 25}, dot, dot), PeaPalette::outline());
}

// Paints onto a layer that holds nothing but the pea, so monochrome cut-outs only clear the pea itself.
void paint(QPainter& painter, QSizeF size, const PeaFace& given, Detail detail, const PeaStyle& style) {
    const double s = std::min(size.width(), size.height());
    if (!(s > 0) || !std::isfinite(s)) {
        return;
    }
    PeaPen pen;
    pen.detail = detail;
    pen.monochrome = style.monochrome;
    PeaFace face = drawableFace(given);
    if (detail == Detail::full) {
        pen.lineWidth = style.highContrast ? 3.9 : 2.6;
        pen.featureScale = 1.0;
    } else {
        face = face.simplifiedForMenuBar();
        // One point on screen whatever the icon size.
        pen.lineWidth = 100 / s * (style.highContrast ? 1.5 : 1.0);
        pen.featureScale = 1.3;
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate((size.width() - s) * 0.5, (size.height() - s) * 0.5);
    painter.scale(s / 100, s / 100);
    painter.translate(1.5 * face.jitter, 0);

    const PeaCanvas canvas(painter, style.monochrome);
    const PeaBody body = PeaBody::of(face);
    drawPuddle(canvas, face, body, pen);
    drawBody(canvas, body, pen, style.highContrast);
    drawStemAndLeaf(canvas, body, pen);
    if (pen.full()) {
        if (!style.monochrome && !style.highContrast) {
            PeaEffects::drawBlush(canvas, face, body);
        }
        PeaFeatures::drawEyes(canvas, face, body, pen);
        drawBrows(canvas, face, body, pen);
        PeaFeatures::drawMouth(canvas, face, body, pen);
        PeaFeatures::drawAccessory(canvas, face, body, pen);
        drawArmLeaf(canvas, face, body, pen);
        drawPuff(canvas, face, body, pen);
        PeaEffects::drawSparkles(canvas, face, pen);
        PeaEffects::drawConfetti(canvas, face);
    } else {
        PeaFeatures::drawEyes(canvas, face, body, pen);
        PeaFeatures::drawMouth(canvas, face, body, pen);
    }
    PeaEffects::drawDrops(canvas, face, pen);
    PeaEffects::drawSteam(canvas, face, pen);
    drawSleepLetters(canvas, face, pen);
    drawQuestionMark(canvas, face, pen);
    painter.restore();
}

} // namespace

void draw(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style, QPainter& painter,
          QSizeF size) {
    if (!style.monochrome && painter.opacity() >= 1) {
        // Without cut-outs or fading the pea can go straight onto whatever is below.
        paint(painter, size, face, detail, style);
        return;
    }
    // Cut-outs would punch through the background too, and a faded painter would fade each overlapping
    // part on its own, so the pea goes through a transparent layer aligned to device pixels and is
    // then copied over one to one, at the painter's opacity.
    const QPaintDevice* device = painter.device();
    if (device == nullptr) {
        return;
    }
    const double ratio = device->devicePixelRatioF();
    // Without the redirection of a widget's painter into its window, which the painter adds again when
    // the layer is copied back, and which would put the layer outside the widget's own size.
    const QTransform toDevice = painter.combinedTransform();
    // Only what can land on the device: a pea scaled far past it must not allocate a huge layer.
    const QRect reachable(0, 0, static_cast<int>(std::ceil(device->width() * ratio)),
                          static_cast<int>(std::ceil(device->height() * ratio)));
    const QRect pixels = toDevice.mapRect(QRectF(QPointF(0, 0), size)).toAlignedRect().intersected(reachable);
    if (pixels.isEmpty()) {
        return;
    }
    QImage layer(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setTransform(toDevice * QTransform::fromTranslate(-pixels.x(), -pixels.y()));
        paint(layerPainter, size, face, detail, style);
    }
    painter.save();
    painter.setViewTransformEnabled(false);
    painter.setWorldTransform(QTransform());
    painter.drawImage(
        QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio),
        layer);
    painter.restore();
}

QImage image(const PeaFace& face, PeaFace::Detail detail, const PeaStyle& style, QSizeF size, double scale) {
    const double ratio = std::isfinite(scale) && scale > 0 ? scale : 1.0;
    // Whole pixels, without a rounding error such as 22 x (32 / 22) adding a column.
    const auto extent = [ratio](double points) {
        return static_cast<int>(std::ceil(std::max(0.0, points) * ratio - 1e-6));
    };
    const QSize pixels(extent(size.width()), extent(size.height()));
    QImage result(pixels, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) {
        return result;
    }
    result.fill(Qt::transparent);
    result.setDevicePixelRatio(ratio);
    QPainter painter(&result);
    paint(painter, size, face, detail, style);
    return result;
}

} // namespace halvrick::PeaRenderer
