#include "artwork/SvgPicture.h"

#include "QtTestApp.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

QImage rendered(const QByteArray& svg, int side) {
    QSvgRenderer renderer(svg);
    EXPECT_TRUE(renderer.isValid());
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, side, side));
    return image;
}

TEST(SvgPictureTest, ClippedFillsAndStrokesStayInsideTheirClip) {
    ASSERT_TRUE(qtTestAppReady());
    const QByteArray svg = SvgPicture::render(
        [](QPainter& painter, QSizeF size) {
            painter.save();
            painter.setClipRect(QRectF(0, 0, size.width() / 2, size.height()));
            painter.fillRect(QRectF(QPointF(0, 0), size), Qt::red);
            painter.setPen(QPen(Qt::blue, 20));
            painter.drawLine(QPointF(0, 75), QPointF(100, 75));
            painter.restore();
            // Without the clip again.
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::green);
            painter.drawRect(QRectF(60, 10, 30, 30));
        },
        QSize(100, 100), QStringLiteral("clips"));
    const QImage image = rendered(svg, 100);
    EXPECT_EQ(image.pixelColor(25, 25), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(25, 75), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(75, 75).alpha(), 0) << "the stroke is cut at the clip";
    EXPECT_EQ(image.pixelColor(75, 50).alpha(), 0) << "the fill is cut at the clip";
    EXPECT_EQ(image.pixelColor(75, 25), QColor(Qt::green));
}

TEST(SvgPictureTest, SizeIsInPixels) {
    ASSERT_TRUE(qtTestAppReady());
    const QByteArray svg =
        SvgPicture::render([](QPainter&, QSizeF) {}, QSize(48, 32), QStringLiteral("empty"));
    QSvgRenderer renderer(svg);
    EXPECT_EQ(renderer.defaultSize(), QSize(48, 32));
    EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 48, 32));
    EXPECT_TRUE(svg.contains("<title>empty</title>"));
}

} // namespace
} // namespace halvrick
