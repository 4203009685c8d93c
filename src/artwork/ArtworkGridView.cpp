#include "artwork/ArtworkGridView.h"

#include "artwork/BusyBackground.h"
#include "artwork/PeaTile.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRectF>

namespace halvrick {

namespace ArtworkGrid {

namespace {

QColor grey(double white) {
    return QColor::fromRgbF(white, white, white);
}

std::function<void(QPainter&, const QRectF&)> solid(const QColor& colour) {
    return [colour](QPainter& painter, const QRectF& area) { painter.fillRect(area, colour); };
}

QFont font(int pixels, QFont::Weight weight) {
    QFont font;
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

const QColor primaryText = Qt::black;
const QColor secondaryText = QColor::fromRgbF(0, 0, 0, 0.5);
const QColor separator = QColor::fromRgbF(0, 0, 0, 0.1);

double popoverColumnsX() {
    return leadingPad + labelWidth + static_cast<double>(bars().size()) * barWidth;
}

void paintHeader(QPainter& painter) {
    painter.setPen(primaryText);
    painter.setFont(font(9, QFont::DemiBold));
    painter.drawText(QRectF(leadingPad, 0, labelWidth, headerHeight),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, QString::fromUtf8(headerTitle));
    painter.setFont(font(8, QFont::Normal));
    double x = leadingPad + labelWidth;
    for (const Bar& bar : bars()) {
        painter.drawText(QRectF(x, 0, barWidth, headerHeight), Qt::AlignCenter, bar.title);
        x += barWidth;
    }
    painter.setFont(font(9, QFont::Normal));
    for (const QString& title : popoverTitles()) {
        painter.drawText(QRectF(x, 0, cellSide, headerHeight), Qt::AlignCenter, title);
        x += cellSide;
    }
}

void paintLabel(QPainter& painter, FaceState state, double top) {
    const QFont titleFont = font(11, QFont::Medium);
    const QFont noteFont = font(8, QFont::Normal);
    const bool noted = keepsHeatFaceInMenuBar(state);
    const double titleHeight = QFontMetricsF(titleFont).height();
    const double noteHeight = QFontMetricsF(noteFont).height();
    const double height = titleHeight + (noted ? 2 + noteHeight : 0);
    double y = top + (rowHeight - height) / 2;
    painter.setFont(titleFont);
    painter.setPen(primaryText);
    painter.drawText(QRectF(leadingPad, y, labelWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(title(state).data(), static_cast<int>(title(state).size())));
    if (noted) {
        y += titleHeight + 2;
        painter.setFont(noteFont);
        painter.setPen(secondaryText);
        painter.drawText(QRectF(leadingPad, y, labelWidth, noteHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(heatFaceNote));
    }
}

void paintPopoverCell(QPainter& painter, const QRectF& cell, const QColor& background, double peaSide,
                      const PeaFace& face, const PeaStyle& style) {
    painter.fillRect(cell, background);
    const QRectF frame(cell.center().x() - peaSide / 2, cell.center().y() - peaSide / 2, peaSide, peaSide);
    PeaTile::draw(painter, frame, face, PeaFace::Detail::full, style);
    painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.06), 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cell.adjusted(0.25, 0.25, -0.25, -0.25));
}

void paintRow(QPainter& painter, FaceState state, double top) {
    const PeaFace face = rowFace(state);
    paintLabel(painter, state, top);
    double x = leadingPad + labelWidth;
    const double barTop = top + (rowHeight - barHeight) / 2;
    for (const Bar& bar : bars()) {
        const QRectF cell(x, barTop, barWidth, barHeight);
        bar.background(painter, cell);
        const QRectF frame(cell.center().x() - 9, cell.center().y() - 9, 18, 18);
        PeaTile::draw(painter, frame, face, PeaFace::Detail::menuBar, bar.style, bar.invert);
        x += barWidth;
    }
    paintPopoverCell(painter, QRectF(x, top, cellSide, cellSide), Qt::white, 64, face, {});
    paintPopoverCell(painter, QRectF(x + cellSide, top, cellSide, cellSide), grey(0.12), 96, face, {});
    paintPopoverCell(painter, QRectF(x + 2 * cellSide, top, cellSide, cellSide), Qt::white, 64, face,
                     PeaStyle{false, true});
    painter.fillRect(QRectF(0, top + rowHeight - 1, size().width(), 1), separator);
}

} // namespace

const std::vector<Bar>& bars() {
    static const std::vector<Bar> bars{
        {QStringLiteral("White"), solid(Qt::white), {}, false},
        {QStringLiteral("Black"), solid(Qt::black), {}, false},
        {QStringLiteral("Gray"), solid(grey(0.5)), {}, false},
        {QStringLiteral("Busy"), BusyBackground::paint, {}, false},
        {QStringLiteral("Mono light"), solid(grey(0.93)), PeaStyle{true, false}, false},
        {QStringLiteral("Mono dark"), solid(grey(0.15)), PeaStyle{true, false}, true},
    };
    return bars;
}

const std::vector<QString>& popoverTitles() {
    static const std::vector<QString> titles{QStringLiteral("64 pt"), QStringLiteral("96 pt dark"),
                                             QStringLiteral("64 pt contrast")};
    return titles;
}

PeaFace rowFace(FaceState state) {
    return face(state, HeatState::sweating);
}

QSizeF size() {
    return {popoverColumnsX() + static_cast<double>(popoverTitles().size()) * cellSide,
            headerHeight + rowHeight * static_cast<double>(allFaceStates.size())};
}

void paint(QPainter& painter, QSizeF area) {
    if (area.isEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), area), grey(0.97));
    paintHeader(painter);
    // On screen only the rows in the scrolled-to part are drawn.
    const QRectF visible = painter.hasClipping() ? painter.clipBoundingRect() : QRectF(QPointF(0, 0), area);
    double top = headerHeight;
    for (const FaceState state : allFaceStates) {
        if (visible.intersects(QRectF(0, top, area.width(), rowHeight))) {
            paintRow(painter, state, top);
        }
        top += rowHeight;
    }
    painter.restore();
}

} // namespace ArtworkGrid

ArtworkGridView::ArtworkGridView(QWidget* parent) : QWidget(parent) {
    setFixedSize(ArtworkGrid::size().toSize());
}

void ArtworkGridView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRect(event->rect());
    ArtworkGrid::paint(painter, size());
}

} // namespace halvrick
