#include "pea/MenuBarIcons.h"

#include "QtTestApp.h"
#include "core/PeaAnimation.h"

#include <gtest/gtest.h>
#include <limits>

namespace halvrick {
namespace {

const PeaStyle colour{};
const PeaStyle highContrast{false, true};
const PeaStyle monochrome{true, false};

// Counts every image the cache asks for.
class MenuBarIconsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    int renders = 0;
    MenuBarIcons icons{[this](const PeaFace& face, const PeaStyle& style, int pixels) {
        ++renders;
        return MenuBarIcons::drawFrame(face, style, pixels);
    }};
};

constexpr int sizesPerFrame = static_cast<int>(MenuBarIcons::pixelSizes.size());

std::vector<PeaFace> heatLoops() {
    std::vector<PeaFace> faces;
    for (const HeatState state : allHeatStates) {
        const std::vector<PeaFace> loop = PeaAnimation::menuBarFrames(state);
        faces.insert(faces.end(), loop.begin(), loop.end());
    }
    return faces;
}

TEST_F(MenuBarIconsTest, TheSameFaceIsRenderedOnceAndADifferentFaceAgain) {
    const PeaFace warm = PeaFace::heat(HeatState::warm);
    const MenuBarIcons::Frame first = icons.frame(warm, colour);
    EXPECT_EQ(renders, sizesPerFrame);
    const MenuBarIcons::Frame again = icons.frame(warm, colour);
    EXPECT_EQ(renders, sizesPerFrame);
    EXPECT_EQ(again.icon.cacheKey(), first.icon.cacheKey()) << "the very same icon";

    icons.frame(PeaFace::heat(HeatState::sweating), colour);
    EXPECT_EQ(renders, 2 * sizesPerFrame);
    EXPECT_EQ(icons.size(), 2u);
}

TEST_F(MenuBarIconsTest, FacesAreKeyedAsTheTrayShowsThem) {
    PeaFace plain = PeaFace::heat(HeatState::warm);
    icons.frame(plain, colour);
    // Blush, brows and accessories never reach the tray, so they make no new frame.
    PeaFace dressed = plain;
    dressed.blush = 1;
    dressed.brows = PeaFace::Brows::annoyed;
    dressed.accessory = PeaFace::Accessory::partyHat;
    EXPECT_TRUE(icons.contains(dressed, colour));
    icons.frame(dressed, colour);
    EXPECT_EQ(renders, sizesPerFrame);
}

TEST_F(MenuBarIconsTest, AFaceWithNaNFieldsStillHits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PeaFace face = PeaFace::heat(HeatState::meltdown);
    face.melt = nan;
    face.steamRise = nan;
    face.jitter = nan;
    icons.frame(face, monochrome);
    for (int i = 0; i < 3; ++i) {
        icons.frame(face, monochrome);
    }
    EXPECT_EQ(renders, sizesPerFrame);
    EXPECT_EQ(icons.size(), 1u);
}

TEST_F(MenuBarIconsTest, EveryFrameHoldsTheFourTraySizes) {
    const MenuBarIcons::Frame frame = icons.frame(PeaFace::heat(HeatState::sweating), highContrast);
    QList<QSize> sizes;
    for (std::size_t i = 0; i < MenuBarIcons::pixelSizes.size(); ++i) {
        const int pixels = MenuBarIcons::pixelSizes[i];
        EXPECT_EQ(frame.images[i].size(), QSize(pixels, pixels));
        EXPECT_EQ(frame.images[i].devicePixelRatio(), 1.0);
        sizes.append(QSize(pixels, pixels));
    }
    EXPECT_EQ(frame.icon.availableSizes(), sizes);
    EXPECT_EQ(MenuBarIcons::pixelSizes, (std::array<int, 4>{22, 32, 44, 64}));
}

TEST_F(MenuBarIconsTest, PrewarmingRendersEveryFaceOnce) {
    icons.prewarm(heatLoops(), colour);
    const int firstRenders = renders;
    EXPECT_EQ(firstRenders, static_cast<int>(icons.size()) * sizesPerFrame);
    for (const HeatState state : allHeatStates) {
        for (const PeaFace& face : PeaAnimation::menuBarFrames(state)) {
            EXPECT_TRUE(icons.contains(face, colour));
        }
    }
    icons.prewarm(heatLoops(), colour);
    EXPECT_EQ(renders, firstRenders);
}

TEST_F(MenuBarIconsTest, StylesAndTintsNeverShareFrames) {
    icons.prewarm(heatLoops(), monochrome);
    const std::size_t perStyle = icons.size();
    icons.prewarm(heatLoops(), colour);
    EXPECT_EQ(icons.size(), 2 * perStyle);
    icons.prewarm(heatLoops(), highContrast);
    EXPECT_EQ(icons.size(), 3 * perStyle);
    icons.prewarm(heatLoops(), monochrome, Qt::white);
    EXPECT_EQ(icons.size(), 4 * perStyle);
    // Colour frames are never tinted, so any tint finds them.
    icons.prewarm(heatLoops(), colour, Qt::white);
    EXPECT_EQ(icons.size(), 4 * perStyle);
}

TEST_F(MenuBarIconsTest, MonochromeFramesAreTintedAndKeepTheirHoles) {
    const PeaFace face = PeaFace::heat(HeatState::chill);
    const MenuBarIcons::Frame white = icons.frame(face, monochrome, Qt::white);
    const MenuBarIcons::Frame black = icons.frame(face, monochrome);
    const QImage& whiteImage = white.images.back();
    const QImage& blackImage = black.images.back();
    int opaque = 0;
    for (int y = 0; y < whiteImage.height(); ++y) {
        for (int x = 0; x < whiteImage.width(); ++x) {
            const QColor w = whiteImage.pixelColor(x, y);
            ASSERT_EQ(w.alpha(), blackImage.pixelColor(x, y).alpha()) << x << "," << y;
            if (w.alpha() == 255) {
                ++opaque;
                ASSERT_EQ(w, QColor(Qt::white)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(opaque, 1000);
    // The left eye (37, 52 of the design square) is a hole.
    EXPECT_EQ(whiteImage.pixelColor(37 * 64 / 100, 52 * 64 / 100).alpha(), 0);
}

} // namespace
} // namespace halvrick
