#include "artwork/ArtworkStrips.h"

#include "artwork/PeaTile.h"
#include "core/PeaAnimation.h"

#include <QPainter>
#include <vector>

namespace halvrick::ArtworkStrips {

namespace {

constexpr double menuBarFrame = 18;
constexpr double menuBarGap = 4;
constexpr double popoverFrame = 96;
constexpr double popoverGap = 6;

double rowWidth(double count, double frame, double gap) {
    return count * frame + (count - 1) * gap + 2 * gap;
}

void paintRow(QPainter& painter, QSizeF size, const std::vector<PeaFace>& frames, double frame, double gap,
              PeaFace::Detail detail) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    double x = gap;
    for (const PeaFace& face : frames) {
        PeaTile::draw(painter, QRectF(x, (size.height() - frame) / 2, frame, frame), face, detail, {});
        x += frame + gap;
    }
    painter.restore();
}

} // namespace

QSizeF menuBarSize(HeatState heat) {
    const auto count = static_cast<double>(PeaAnimation::menuBarFrames(heat).size());
    return {rowWidth(count, menuBarFrame, menuBarGap), menuBarFrame + 2 * menuBarGap};
}

void paintMenuBar(QPainter& painter, QSizeF size, HeatState heat) {
    paintRow(painter, size, PeaAnimation::menuBarFrames(heat), menuBarFrame, menuBarGap,
             PeaFace::Detail::menuBar);
}

QSizeF popoverSize() {
    return {rowWidth(popoverFrameCount, popoverFrame, popoverGap), popoverFrame + 2 * popoverGap};
}

void paintPopover(QPainter& painter, QSizeF size, FaceState state) {
    const PeaFace base = face(state, HeatState::sweating);
    std::vector<PeaFace> frames;
    for (int i = 0; i < popoverFrameCount; ++i) {
        frames.push_back(PeaAnimation::animate(base, i * popoverFrameStep));
    }
    paintRow(painter, size, frames, popoverFrame, popoverGap, PeaFace::Detail::full);
}

} // namespace halvrick::ArtworkStrips
