#include "reports/FolderSparkline.h"

#include "ui/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace halvrick {

FolderSparkline::FolderSparkline(QWidget* parent) : QWidget(parent) {
    setFixedSize(width, height);
    setAttribute(Qt::WA_TranslucentBackground);
}

void FolderSparkline::setTrend(const std::vector<FolderTrendPoint>& points, Date now, const Calendar& calendar) {
    auto placed = FolderSparklineGeometry::points(points, now, calendar, width, height);
    if (placed != points_) {
        points_ = std::move(placed);
        update();
    }
}

void FolderSparkline::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintFolderSparkline(painter, points_, Theme::accent(palette()));
}

void paintFolderSparkline(QPainter& painter, const std::vector<FolderSparklineGeometry::Point>& points,
                          const QColor& colour) {
    if (points.size() < 2) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath line;
    line.moveTo(points.front().x, points.front().y);
    for (std::size_t i = 1; i < points.size(); ++i) {
        line.lineTo(points[i].x, points[i].y);
    }
    QPen pen(colour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(line);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(points.back().x - 1.5, points.back().y - 1.5, 3, 3));
    painter.restore();
}

} // namespace halvrick
