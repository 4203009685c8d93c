#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/FolderGrowth.h"
#include "core/FolderSparklineGeometry.h"

#include <QColor>
#include <QSizeF>
#include <QWidget>
#include <vector>

class QPainter;

namespace halvrick {

// A folder's last seven days as a small line in the accent colour with a dot on today's end.
class FolderSparkline : public QWidget {
public:
    static constexpr int width = 48;
    static constexpr int height = 14;

    explicit FolderSparkline(QWidget* parent = nullptr);

    void setTrend(const std::vector<FolderTrendPoint>& points, Date now, const Calendar& calendar);
    const std::vector<FolderSparklineGeometry::Point>& points() const { return points_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<FolderSparklineGeometry::Point> points_;
};

// Draws the line through `points` (already placed in the box) and the dot on the last one.
void paintFolderSparkline(QPainter& painter, const std::vector<FolderSparklineGeometry::Point>& points,
                          const QColor& colour);

} // namespace halvrick
