#include "ui/Glyphs.h"
#include "QtTestApp.h"

#include <QImage>
#include <algorithm>
#include <QPainter>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

QImage painted(Glyph glyph, QRectF area, QSize canvas = {40, 40}) {
    QImage image(canvas, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Glyphs::paint(painter, glyph, area, Qt::black);
    return image;
}

bool inkAt(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) > 128; }

TEST(GlyphsTest, EachGlyphKeepsToItsAreaAndHasItsShape) {
    ASSERT_TRUE(qtTestAppReady());
    for (const Glyph glyph : {Glyph::chevronRight, Glyph::ellipsisCircle, Glyph::gear, Glyph::infoCircle, Glyph::circle,
                              Glyph::checkmarkCircle, Glyph::xmarkCircle, Glyph::flag}) {
        const QImage image = painted(glyph, QRectF(20, 20, 20, 20));
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                if (x < 19 || y < 19) {
                    ASSERT_EQ(qAlpha(image.pixel(x, y)), 0) << static_cast<int>(glyph) << " at " << x << "," << y;
                }
            }
        }
    }
    // A check is cut out of its disc; a plain circle is hollow.
    const QImage check = painted(Glyph::checkmarkCircle, QRectF(0, 0, 40, 40));
    EXPECT_TRUE(inkAt(check, 6, 20));
    EXPECT_FALSE(inkAt(check, 17, 26));
    EXPECT_FALSE(inkAt(painted(Glyph::circle, QRectF(0, 0, 40, 40)), 20, 20));
    // Probes on the 20-point grid, scaled by 2 into a 40-pixel canvas.
    const QImage chevron = painted(Glyph::chevronRight, QRectF(0, 0, 40, 40));
    EXPECT_TRUE(inkAt(chevron, 27, 20));  // the tip points right
    EXPECT_FALSE(inkAt(chevron, 12, 20)); // open on the left
    const QImage ellipsis = painted(Glyph::ellipsisCircle, QRectF(0, 0, 40, 40));
    EXPECT_TRUE(inkAt(ellipsis, 20, 20) && inkAt(ellipsis, 12, 20) && inkAt(ellipsis, 28, 20));
    EXPECT_FALSE(inkAt(ellipsis, 16, 20));
    const QImage cog = painted(Glyph::gear, QRectF(0, 0, 40, 40));
    EXPECT_FALSE(inkAt(cog, 20, 20)); // the hub is a hole
    EXPECT_TRUE(inkAt(cog, 20, 30));
}

TEST(GlyphsTest, AnEmptyAreaDrawsNothingAndIconsCarryEveryScale) {
    ASSERT_TRUE(qtTestAppReady());
    const QImage image = painted(Glyph::gear, QRectF(10, 10, 0, 20));
    EXPECT_TRUE(std::all_of(image.constBits(), image.constBits() + image.sizeInBytes(), [](uchar b) { return b == 0; }));
    const QIcon icon = Glyphs::icon(Glyph::chevronRight, Qt::black, 12);
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{12, 12}, {24, 24}, {36, 36}}));
}

} // namespace
} // namespace halvrick
