#include "QtTestApp.h"
#include "artwork/AppIconView.h"
#include "ui/PngExport.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(AppIconTest, TileIsCentredOnTheShorterSide) {
    const QRectF tile = AppIcon::tileRect({300, 200});
    EXPECT_DOUBLE_EQ(tile.width(), 200 * 824.0 / 1024);
    EXPECT_DOUBLE_EQ(tile.width(), 160.9375);
    EXPECT_DOUBLE_EQ(tile.height(), tile.width());
    EXPECT_DOUBLE_EQ(tile.center().x(), 150);
    EXPECT_DOUBLE_EQ(tile.center().y(), 100);
}

TEST(AppIconTest, StrokeAndPeaDetailFollowTheSize) {
    struct Case {
        double side;
        double stroke;
        PeaFace::Detail detail;
    };
    for (const Case& c : {Case{16, 0.5, PeaFace::Detail::menuBar}, Case{32, 0.5, PeaFace::Detail::menuBar},
                          Case{63, 0.5, PeaFace::Detail::menuBar}, Case{64, 0.5, PeaFace::Detail::full},
                          Case{255, 0.5, PeaFace::Detail::full}, Case{512, 1, PeaFace::Detail::full},
                          Case{1024, 2, PeaFace::Detail::full}}) {
        SCOPED_TRACE(c.side);
        EXPECT_DOUBLE_EQ(AppIcon::strokeWidth({c.side, c.side}), c.stroke);
        EXPECT_EQ(AppIcon::peaDetail({c.side, c.side}), c.detail);
    }
    EXPECT_EQ(AppIcon::peaDetail({300, 40}), PeaFace::Detail::menuBar) << "the shorter side decides";
    EXPECT_EQ(PeaFace::mark().blush, 0.5);
    EXPECT_EQ(PeaFace::mark().sweatDrops, 1);
}

TEST(AppIconTest, DrawsTheGradientTileWithAShadowBelowAndClearMargins) {
    ASSERT_TRUE(qtTestAppReady());
    const QImage icon = PngExport::render(AppIcon::paint, {1024, 1024}, 1);
    ASSERT_EQ(icon.size(), QSize(1024, 1024));
    // The tile spans 100 ... 924; the pea covers its middle, the gradient shows near its top and bottom.
    EXPECT_EQ(qAlpha(icon.pixel(4, 4)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(1019, 512)), 0);
    const QColor top = icon.pixelColor(512, 112);
    const QColor bottom = icon.pixelColor(512, 905);
    EXPECT_NEAR(top.red(), 244, 3);
    EXPECT_NEAR(top.green(), 250, 3);
    EXPECT_NEAR(bottom.red(), 214, 4);
    EXPECT_NEAR(bottom.green(), 237, 4);
    EXPECT_EQ(top.alpha(), 255);
    // The shadow drops 12 points: it shows more under the tile than over it.
    const int under = qAlpha(icon.pixel(512, 930));
    const int over = qAlpha(icon.pixel(512, 94));
    EXPECT_GT(under, over);
    EXPECT_GT(under, 0);
    EXPECT_LT(under, 60);
}

TEST(AppIconTest, SmallIconsStillShowTheTileAndThePea) {
    ASSERT_TRUE(qtTestAppReady());
    for (const int side : {16, 32}) {
        const QImage icon = PngExport::render(AppIcon::paint, QSizeF(side, side), 1);
        ASSERT_EQ(icon.size(), QSize(side, side));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(icon.pixelColor(side / 2, side / 2 + side / 8).alpha(), 255);
    }
}

} // namespace
} // namespace halvrick
