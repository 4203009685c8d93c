#include "PeaPixels.h"
#include "QtTestApp.h"
#include "artwork/ArtworkGridView.h"
#include "artwork/ArtworkStrips.h"
#include "artwork/BusyBackground.h"
#include "ui/PngExport.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(ArtworkGridTest, IsSevenHundredThirtyEightPointsWideAndOneRowPerMood) {
    EXPECT_EQ(ArtworkGrid::size(), QSizeF(738, 24 + 112 * 20));
}

TEST(ArtworkGridTest, SixBarsWithOnlyMonoDarkInverted) {
    struct Case {
        const char* title;
        bool monochrome;
        bool invert;
    };
    const std::vector<Case> expected{{"White", false, false},     {"Black", false, false},
                                     {"Gray", false, false},      {"Busy", false, false},
                                     {"Mono light", true, false}, {"Mono dark", true, true}};
    const auto& bars = ArtworkGrid::bars();
    ASSERT_EQ(bars.size(), expected.size());
    for (std::size_t i = 0; i < bars.size(); ++i) {
        EXPECT_EQ(bars[i].title, expected[i].title);
        EXPECT_EQ(bars[i].style.monochrome, expected[i].monochrome);
        EXPECT_FALSE(bars[i].style.highContrast);
        EXPECT_EQ(bars[i].invert, expected[i].invert);
    }
}

TEST(ArtworkGridTest, OnlyTheSixHeatFaceMoodsCarryTheMenuBarNote) {
    std::vector<FaceState> noted;
    for (const FaceState state : allFaceStates) {
        if (keepsHeatFaceInMenuBar(state)) {
            noted.push_back(state);
        }
    }
    EXPECT_EQ(noted, (std::vector<FaceState>{FaceState::blaming, FaceState::allClear, FaceState::askingToQuit,
                                             FaceState::shh, FaceState::celebrating, FaceState::hello}));
}

// The grid's own words are Linux's: the small pea sits in the tray.
TEST(ArtworkGridTest, SpeaksOfTheTray) {
    for (const char* text : {ArtworkGrid::headerTitle, ArtworkGrid::heatFaceNote}) {
        EXPECT_FALSE(QString::fromUtf8(text).contains(QStringLiteral("menu bar"))) << text;
        EXPECT_TRUE(QString::fromUtf8(text).contains(QStringLiteral("tray"))) << text;
    }
}

TEST(ArtworkGridTest, DrawsBackgroundsAndInvertsOnlyTheMonoDarkPea) {
    ASSERT_TRUE(qtTestAppReady());
    const QImage grid = PngExport::render(ArtworkGrid::paint, ArtworkGrid::size(), 1);
    ASSERT_EQ(grid.size(), QSize(738, 2264));
    EXPECT_TRUE(near(grid.pixelColor(100, 40), QColor(247, 247, 247))) << "sheet background, grey 0.97";
    // First row (chill): bar cells start at x = 138, 44 wide, 30 high around the row's middle (y 80).
    const int rowMiddle = 24 + 56;
    EXPECT_TRUE(near(grid.pixelColor(138 + 44 + 2, rowMiddle - 13), Qt::black)) << "black bar";
    EXPECT_TRUE(near(grid.pixelColor(138 + 88 + 2, rowMiddle - 13), QColor(128, 128, 128), 2)) << "grey bar";
    // The pea's body, a little below the cell's centre: black on Mono light, white on Mono dark.
    const int monoLight = 138 + 4 * 44 + 22;
    const int monoDark = 138 + 5 * 44 + 22;
    EXPECT_TRUE(near(grid.pixelColor(monoLight - 4, rowMiddle + 4), Qt::black, 40));
    EXPECT_TRUE(near(grid.pixelColor(monoDark - 4, rowMiddle + 4), Qt::white, 40));
    EXPECT_TRUE(near(grid.pixelColor(monoDark - 20, rowMiddle - 13), QColor(38, 38, 38), 2)) << "grey 0.15";
    // Popover cells: white, dark grey 0.12, white.
    EXPECT_TRUE(near(grid.pixelColor(402 + 4, 24 + 4), Qt::white));
    EXPECT_TRUE(near(grid.pixelColor(402 + 112 + 4, 24 + 4), QColor(31, 31, 31), 2));
    EXPECT_TRUE(near(grid.pixelColor(402 + 224 + 4, 24 + 4), Qt::white));
}

TEST(ArtworkGridTest, OnScreenItDrawsTheRowsInViewLikeThePicture) {
    ASSERT_TRUE(qtTestAppReady());
    ArtworkGridView view;
    EXPECT_EQ(view.size(), QSize(738, 2264));
    const QRect lastRows(0, 2264 - 230, 738, 230);
    const QImage screen = view.grab(lastRows).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage picture = PngExport::render(ArtworkGrid::paint, ArtworkGrid::size(), 1)
                               .copy(lastRows)
                               .convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(screen.size(), picture.size());
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            differing += near(screen.pixelColor(x, y), picture.pixelColor(x, y), 8) ? 0 : 1;
        }
    }
    EXPECT_LT(differing, screen.width() * screen.height() / 200);
}

TEST(BusyBackgroundTest, ShapesSitAtTheirFractionsAndNeverSpillOver) {
    ASSERT_TRUE(qtTestAppReady());
    const QImage image = PngExport::render(
        [](QPainter& painter, QSizeF) { BusyBackground::paint(painter, QRectF(20, 10, 200, 100)); },
        {240, 120}, 1);
    EXPECT_EQ(qAlpha(image.pixel(10, 60)), 0);
    EXPECT_EQ(qAlpha(image.pixel(230, 60)), 0);
    EXPECT_EQ(qAlpha(image.pixel(120, 115)), 0) << "the teal circle is clipped at the bottom";
    EXPECT_TRUE(near(image.pixelColor(20 + 100, 10 + 20), QColor(38, 70, 83), 2)) << "the dark bar";
    EXPECT_TRUE(near(image.pixelColor(20 + 30, 10 + 95), QColor(42, 157, 143), 2)) << "the teal circle";
    EXPECT_TRUE(near(image.pixelColor(21, 11), QColor(29, 53, 87), 12)) << "the gradient's first colour";
    EXPECT_TRUE(near(image.pixelColor(218, 108), QColor(244, 162, 97), 12)) << "and its last";
}

TEST(ArtworkStripsTest, StripWidthsFollowTheFrameCounts) {
    struct Case {
        HeatState heat;
        double width;
    };
    for (const Case& c : {Case{HeatState::chill, 26}, Case{HeatState::warm, 1060},
                          Case{HeatState::sweating, 268}, Case{HeatState::meltdown, 356}}) {
        EXPECT_EQ(ArtworkStrips::menuBarSize(c.heat), QSizeF(c.width, 26));
    }
    EXPECT_EQ(ArtworkStrips::popoverSize(), QSizeF(822, 108));
}

TEST(ArtworkStripsTest, FramesStandOnWhite) {
    ASSERT_TRUE(qtTestAppReady());
    const QImage strip =
        PngExport::render([](QPainter& painter,
                             QSizeF size) { ArtworkStrips::paintPopover(painter, size, FaceState::napping); },
                          ArtworkStrips::popoverSize(), 1);
    EXPECT_EQ(strip.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(strip.pixelColor(819, 105), QColor(Qt::white));
    EXPECT_NE(strip.pixelColor(6 + 48, 6 + 60), QColor(Qt::white)) << "the first frame's pea";
}

} // namespace
} // namespace halvrick
