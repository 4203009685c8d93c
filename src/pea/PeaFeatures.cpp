#include "pea/PeaFeatures.h"

#include "pea/PeaStyle.h"

#include <cmath>
#include <numbers>
#include <optional>

namespace halvrick::PeaFeatures {

namespace {

using Layer = PeaCanvas::Layer;
using Eyes = PeaFace::Eyes;
using Mouth = PeaFace::Mouth;

QColor white(double alpha = 1) {
    QColor color(Qt::white);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

QPainterPath roundedRect(const QRectF& rect, double radius) {
    QPainterPath path = peaPath();
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath curve(QPointF from, QPointF control, QPointF to) {
    QPainterPath path = peaPath();
    path.moveTo(from);
    path.quadTo(control, to);
    return path;
}

QPainterPath line(QPointF from, QPointF to) {
    QPainterPath path = peaPath();
    path.moveTo(from);
    path.lineTo(to);
    return path;
}

void drawHighlight(const PeaCanvas& canvas, const PeaPen& pen, QPointF center, double diameter) {
    if (pen.full() && !pen.monochrome) {
        canvas.fill(peaEllipse(center, diameter, diameter), white());
    }
}

// An eye white with a dark pupil; in monochrome the white is a hole and the pupil a dot inside it.
void drawEyeball(const PeaCanvas& canvas, const PeaPen& pen, const QPainterPath& eyeWhite,
                 const QPainterPath& pupil) {
    if (pen.monochrome) {
        canvas.fill(eyeWhite, Qt::black, Layer::cut);
        canvas.fill(pupil, Qt::black);
        return;
    }
    canvas.fill(eyeWhite, white());
    canvas.stroke(eyeWhite, PeaPalette::outline(), 0.7 * pen.lineWidth, PeaLineEnds::plain);
    canvas.fill(pupil, PeaPalette::outline());
}

void drawEye(const PeaCanvas& canvas, const PeaFace& face, const PeaPen& pen, double x, double y) {
    const double f = pen.featureScale;
    const double xp = x + pupilShift * face.pupilOffset;
    switch (face.eyes) {
    case Eyes::open:
        canvas.fill(peaEllipse({xp, y}, 7 * f, 9 * f), PeaPalette::outline(), Layer::cut);
        drawHighlight(canvas, pen, {xp - 1.3, y - 2}, 2.6);
        break;
    case Eyes::wide:
    case Eyes::pleading: {
        const double k = face.eyes == Eyes::pleading ? 1.25 : 1.0;
        drawEyeball(canvas, pen, peaEllipse({x, y}, 11 * f * k, 13 * f * k),
                    peaEllipse({xp, y + 0.5}, 5.5 * f * k, 6.5 * f * k));
        drawHighlight(canvas, pen, {xp - 1.2, y - 1.5}, 2.2);
        if (face.eyes == Eyes::pleading) {
            drawHighlight(canvas, pen, {xp + 1.6, y + 2}, 1.3);
        }
        break;
    }
    case Eyes::halfClosed:
        canvas.fill(peaEllipse({xp, y + 1.5}, 8 * f, 4 * f), PeaPalette::outline(), Layer::cut);
        break;
    case Eyes::closed:
        canvas.stroke(curve({x - 5 * f, y}, {x, y + 4.5 * f}, {x + 5 * f, y}), PeaPalette::outline(),
                      pen.lineWidth, PeaLineEnds::round, Layer::cut);
        break;
    case Eyes::happy:
        canvas.stroke(curve({x - 5 * f, y + 2 * f}, {x, y - 5 * f}, {x + 5 * f, y + 2 * f}),
                      PeaPalette::outline(), pen.lineWidth, PeaLineEnds::round, Layer::cut);
        break;
    case Eyes::sideEye:
        // Looking aside is the whole point, so the pupil offset is ignored.
        drawEyeball(canvas, pen, peaEllipse({x, y + 1}, 11 * f, 7 * f),
                    peaEllipse({x + 3 * f, y + 1}, 4.5 * f, 5 * f));
        break;
    case Eyes::dizzy: {
        QPainterPath spiral = peaPath();
        spiral.moveTo(x + 0.6, y);
        for (int i = 1; i <= 28; ++i) {
            const double t = i / 28.0;
            const double radius = 0.6 + 5.2 * f * t;
            const double angle = 2 * std::numbers::pi * 2.2 * t;
            spiral.lineTo(x + radius * std::cos(angle), y + radius * std::sin(angle));
        }
        canvas.stroke(spiral, PeaPalette::outline(), 0.6 * pen.lineWidth, PeaLineEnds::round, Layer::cut);
        break;
    }
    }
}

// The tongue fills the lower part of an open mouth.
void drawTongue(const PeaCanvas& canvas, const QPainterPath& mouth) {
    const QRectF b = mouth.boundingRect();
    const QPainterPath tongue =
        peaEllipse(QRectF(b.left(), b.center().y() + 0.15 * b.height(), b.width(), 0.7 * b.height()));
    canvas.fill(mouth.intersected(tongue), PeaPalette::tongue());
}

// Open mouths; none for the stroked ones.
std::optional<QPainterPath> openMouth(Mouth mouth, double m, double f) {
    switch (mouth) {
    case Mouth::o:
        return peaEllipse({50, m + 1}, 6 * f, 7 * f);
    case Mouth::panting:
        return peaEllipse({50, m + 1}, 9 * f, 11 * f);
    case Mouth::yawn:
        return peaEllipse({50, m + 2}, 10 * f, 14 * f);
    case Mouth::grin: {
        QPainterPath path = peaPath();
        path.moveTo(50 - 9 * f, m - 2);
        path.lineTo(50 + 9 * f, m - 2);
        path.quadTo(QPointF(50, m + 12 * f), QPointF(50 - 9 * f, m - 2));
        path.closeSubpath();
        return path;
    }
    default:
        return std::nullopt;
    }
}

QPainterPath strokedMouth(Mouth mouth, double m, double f) {
    switch (mouth) {
    case Mouth::flat:
        return line({50 - 6 * f, m + 1}, {50 + 6 * f, m + 1});
    case Mouth::frown:
        return curve({50 - 6 * f, m + 3}, {50, m - 3 * f}, {50 + 6 * f, m + 3});
    case Mouth::wobbly: {
        QPainterPath path = peaPath();
        const double y = m + 1;
        path.moveTo(50 - 8 * f, y);
        for (int i = 0; i < 4; ++i) {
            const double end = 50 - 4 * f + 4 * f * i;
            const double lift = i % 2 == 0 ? -3.2 * f : 3.2 * f;
            path.quadTo(QPointF(end - 2 * f, y + lift), QPointF(end, y));
        }
        return path;
    }
    case Mouth::smile:
    default:
        return curve({50 - 7 * f, m - 1}, {50, m + 6 * f}, {50 + 7 * f, m - 1});
    }
}

void drawSunglasses(const PeaCanvas& canvas, const PeaBody& body, const PeaPen& pen, double y) {
    QPainterPath lenses = roundedRect({28, y - 6, 18, 12}, 4);
    lenses.addRoundedRect(QRectF(54, y - 6, 18, 12), 4, 4);
    canvas.fill(lenses, PeaPalette::outline(), Layer::cut);

    QPainterPath frame = curve({46, y - 3}, {50, y - 5}, {54, y - 3});
    frame.moveTo(28, y - 4);
    frame.lineTo(body.left() + 3, y - 6);
    frame.moveTo(72, y - 4);
    frame.lineTo(body.right() - 3, y - 6);
    canvas.stroke(frame, PeaPalette::outline(), 0.9 * pen.lineWidth, PeaLineEnds::round, Layer::cut);

    if (!pen.monochrome) {
        QPainterPath glints = line({31, y - 2}, {35, y - 4});
        glints.moveTo(57, y - 2);
        glints.lineTo(61, y - 4);
        canvas.stroke(glints, white(0.6), 1.4, PeaLineEnds::round);
    }
}

void drawSleepMask(const PeaCanvas& canvas, const PeaBody& body, const PeaPen& pen, double y) {
    const QPainterPath mask = roundedRect({25, y - 8, 50, 15}, 7);
    if (pen.monochrome) {
        canvas.fill(mask, Qt::black, Layer::cut);
    } else {
        QPainterPath strap = line({body.left() + 2, y - 4}, {26, y - 2});
        strap.moveTo(74, y - 2);
        strap.lineTo(body.right() - 2, y - 4);
        canvas.stroke(strap, PeaPalette::sleepMask(), 1.2 * pen.lineWidth, PeaLineEnds::round);
        canvas.fill(mask, PeaPalette::sleepMask());
        canvas.stroke(mask, PeaPalette::outline(), 0.8 * pen.lineWidth, PeaLineEnds::plain);
    }
    QPainterPath lids = curve({32, y}, {37, y + 4}, {42, y});
    lids.moveTo(58, y);
    lids.quadTo(QPointF(63, y + 4), QPointF(68, y));
    canvas.stroke(lids, pen.monochrome ? QColor(Qt::black) : white(0.85), 1.6, PeaLineEnds::round);
}

void drawPartyHat(const PeaCanvas& canvas, const PeaBody& body, const PeaPen& pen) {
    const double top = body.top();
    QPainterPath hat = peaPath();
    hat.moveTo(27, top + 9);
    hat.lineTo(34, top - 16);
    hat.lineTo(48, top + 1);
    hat.closeSubpath();
    const QPainterPath pompom = peaEllipse({34, top - 17}, 7, 7);
    if (pen.monochrome) {
        for (const QPainterPath& part : {hat, pompom}) {
            canvas.stroke(part, Qt::black, pen.ringWidth(), PeaLineEnds::plain, Layer::cut);
            canvas.fill(part, Qt::black);
        }
        return;
    }
    canvas.fill(hat, PeaPalette::partyHat());
    canvas.clipped(hat, [&] {
        QPainterPath stripes = peaPath();
        for (const double o : {-18.0, -10.0, -2.0, 6.0}) {
            stripes.moveTo(20, top + o);
            stripes.lineTo(54, top + o + 6);
        }
        canvas.stroke(stripes, PeaPalette::hatStripe(), 3.0, PeaLineEnds::plain);
    });
    canvas.stroke(hat, PeaPalette::outline(), 0.9 * pen.lineWidth, PeaLineEnds::round);
    canvas.fill(pompom, PeaPalette::hatStripe());
    canvas.stroke(pompom, PeaPalette::outline(), 0.7 * pen.lineWidth, PeaLineEnds::plain);
}

} // namespace

double eyeLine(const PeaBody& body) {
    return body.centerY - 4;
}

double mouthLine(const PeaBody& body) {
    return body.centerY + 13;
}

void drawEyes(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen) {
    for (const double x : {leftEyeX, rightEyeX}) {
        drawEye(canvas, face, pen, x, eyeLine(body));
    }
}

void drawMouth(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen) {
    const double m = mouthLine(body);
    const double f = pen.featureScale;
    if (const std::optional<QPainterPath> mouth = openMouth(face.mouth, m, f)) {
        canvas.fill(*mouth, PeaPalette::outline(), Layer::cut);
        if (pen.full() && !pen.monochrome) {
            drawTongue(canvas, *mouth);
        }
        return;
    }
    canvas.stroke(strokedMouth(face.mouth, m, f), PeaPalette::outline(), pen.lineWidth, PeaLineEnds::round,
                  Layer::cut);
}

void drawAccessory(const PeaCanvas& canvas, const PeaFace& face, const PeaBody& body, const PeaPen& pen) {
    switch (face.accessory) {
    case PeaFace::Accessory::sunglasses:
        drawSunglasses(canvas, body, pen, eyeLine(body));
        break;
    case PeaFace::Accessory::sleepMask:
        drawSleepMask(canvas, body, pen, eyeLine(body));
        break;
    case PeaFace::Accessory::partyHat:
        drawPartyHat(canvas, body, pen);
        break;
    case PeaFace::Accessory::none:
    case PeaFace::Accessory::zzz:
    case PeaFace::Accessory::confetti:
        // Sleep letters and confetti follow their own amounts.
        break;
    }
}

} // namespace halvrick::PeaFeatures
