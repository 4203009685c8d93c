#include "QtTestApp.h"
#include "reports/FolderSparkline.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

const Calendar berlin("Europe/Berlin");
const Date now = berlin.date(2026, 3, 10, 15, 30);

Date daysAgo(int days) { return berlin.addingDays(-days, berlin.startOfDay(now)); }

QImage render(const std::vector<FolderTrendPoint>& trend) {
    FolderSparkline line;
    line.setTrend(trend, now, berlin);
    QImage image(FolderSparkline::width * 4, FolderSparkline::height * 4, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(4);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintFolderSparkline(painter, line.points(), Qt::blue);
    return image;
}

int opaquePixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

TEST(FolderSparklineTest, DrawsTheLineAndTodaysDotInsideItsBox) {
    ASSERT_TRUE(qtTestAppReady());
    FolderSparkline line;
    EXPECT_EQ(line.size(), QSize(48, 14));

    const QImage rising = render({{daysAgo(6), 1'000'000'000}, {daysAgo(0), 3'000'000'000}});
    // Today's end is at the top right, the week's start at the bottom left; the other corners stay empty.
    EXPECT_EQ(QColor(rising.pixel(46 * 4, 1 * 4 + 6)).rgb(), QColor(Qt::blue).rgb());
    EXPECT_GT(opaquePixels(rising, QRect(0, 12 * 4 - 8, 8, 8)), 0);
    EXPECT_EQ(opaquePixels(rising, QRect(0, 0, 16, 16)), 0);
    EXPECT_EQ(opaquePixels(rising, QRect(rising.width() - 16, rising.height() - 16, 16, 16)), 0);
}

TEST(FolderSparklineTest, ASinglePointDrawsNothing) {
    ASSERT_TRUE(qtTestAppReady());
    const QImage single = render({{daysAgo(0), 3'000'000'000}});
    EXPECT_EQ(opaquePixels(single, single.rect()), 0);
}

} // namespace
} // namespace halvrick
