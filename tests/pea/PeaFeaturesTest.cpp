#include "PeaPixels.h"
#include "QtTestApp.h"
#include "core/FaceState.h"
#include "pea/PeaRenderer.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

using Detail = PeaFace::Detail;
using Eyes = PeaFace::Eyes;

const PeaStyle monochrome{true, false};

class PeaFeaturesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }
};

PeaFace withEyes(Eyes eyes, double pupilOffset = 0) {
    PeaFace face;
    face.eyes = eyes;
    face.pupilOffset = pupilOffset;
    return face;
}

// In monochrome the eyes are holes (alpha 0) in the black body, pupils inside them black (alpha 255),
// so where a pupil sits shows in the alpha of two points either side of the left eye.
struct PupilCase {
    Eyes eyes;
    double y;
    double leftX;
    double rightX;
    int leftAlphaCentred;
    int rightAlphaCentred;
};

TEST_F(PeaFeaturesTest, APupilOffsetOfOneMovesThePupils2Point5ToTheRight) {
    const PupilCase cases[] = {
        // The whole dark eye moves: 33.5...40.5 becomes 36...43.
        {Eyes::open, 52, 34.5, 42, 0, 255},
        {Eyes::halfClosed, 53.5, 34, 42.5, 0, 255},
        // The eye white stays, the pupil moves: 34.25...39.75 becomes 36.75...42.25.
        {Eyes::wide, 52.5, 35, 41.5, 255, 0},
        {Eyes::pleading, 52.5, 34.5, 42, 255, 0},
    };
    for (const PupilCase& c : cases) {
        const QImage centred = render(withEyes(c.eyes), Detail::full, monochrome);
        const QImage shifted = render(withEyes(c.eyes, 1), Detail::full, monochrome);
        EXPECT_EQ(at(centred, c.leftX, c.y).alpha(), c.leftAlphaCentred) << toString(c.eyes);
        EXPECT_EQ(at(centred, c.rightX, c.y).alpha(), c.rightAlphaCentred) << toString(c.eyes);
        EXPECT_EQ(at(shifted, c.leftX, c.y).alpha(), c.rightAlphaCentred) << toString(c.eyes);
        EXPECT_EQ(at(shifted, c.rightX, c.y).alpha(), c.leftAlphaCentred) << toString(c.eyes);
    }
}

TEST_F(PeaFeaturesTest, SideEyePupilsIgnoreThePupilOffset) {
    for (const Detail detail : {Detail::full, Detail::menuBar}) {
        EXPECT_EQ(render(withEyes(Eyes::sideEye, 1), detail), render(withEyes(Eyes::sideEye, 0), detail));
    }
}

TEST_F(PeaFeaturesTest, AMonochromeWideEyeIsAClearOvalWithABlackPupil) {
    const QImage image = render(withEyes(Eyes::wide), Detail::full, monochrome);
    EXPECT_EQ(at(image, 37, 52.5).alpha(), 255) << "pupil";
    EXPECT_EQ(at(image, 32.5, 52).alpha(), 0) << "white beside the pupil";
    EXPECT_EQ(at(image, 37, 47).alpha(), 0) << "white above the pupil";
    EXPECT_EQ(at(image, 30, 52).alpha(), 255) << "body beside the eye";
}

TEST_F(PeaFeaturesTest, MonochromeFeaturesAndLeafRingsAreHoles) {
    PeaFace face;
    face.brows = PeaFace::Brows::worried;
    face.leaf = PeaFace::LeafPose::pointing;
    const QImage image = render(face, Detail::full, monochrome);
    EXPECT_EQ(at(image, 37, 52).alpha(), 0) << "eye";
    EXPECT_EQ(at(image, 50, 71.5).alpha(), 0) << "smile";
    EXPECT_EQ(at(image, 36, 39.25).alpha(), 0) << "brow";
    EXPECT_EQ(at(image, 71.7, 64.3).alpha(), 0) << "ring around the arm leaf";
    EXPECT_EQ(at(image, 84, 71).alpha(), 255) << "arm leaf";
    EXPECT_EQ(at(image, 50, 60).alpha(), 255) << "body";
}

bool hasColour(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (near(image.pixelColor(x, y), colour, 6)) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(PeaFeaturesTest, TonguesAndHighlightsShowOnlyInFullColour) {
    const QColor tongue(232, 104, 126);
    for (const PeaFace::Mouth mouth :
         {PeaFace::Mouth::o, PeaFace::Mouth::panting, PeaFace::Mouth::yawn, PeaFace::Mouth::grin}) {
        PeaFace face;
        face.mouth = mouth;
        EXPECT_TRUE(hasColour(render(face, Detail::full), tongue)) << toString(mouth);
        EXPECT_FALSE(hasColour(render(face, Detail::menuBar), tongue)) << toString(mouth);
    }
    const QColor white(255, 255, 255);
    EXPECT_TRUE(hasColour(render(withEyes(Eyes::open), Detail::full), white));
    EXPECT_FALSE(hasColour(render(withEyes(Eyes::open), Detail::menuBar), white));
}

TEST_F(PeaFeaturesTest, TrayEyesAndMouthAre30PercentLarger) {
    // An open eye is 9 high at full detail (47.5...56.5) and 11.7 in the tray (46.15...57.85).
    const QImage full = render(withEyes(Eyes::open), Detail::full, monochrome);
    const QImage tray = render(withEyes(Eyes::open), Detail::menuBar, monochrome);
    EXPECT_EQ(at(full, 37, 47).alpha(), 255);
    EXPECT_EQ(at(tray, 37, 47).alpha(), 0);
    EXPECT_EQ(at(full, 37, 57).alpha(), 255);
    EXPECT_EQ(at(tray, 37, 57).alpha(), 0);
}

TEST_F(PeaFeaturesTest, AccessoriesShowOnlyAtFullDetail) {
    const QColor sleepMask(122, 107, 192);
    const QColor partyHat(255, 111, 168);
    PeaFace napping = face(FaceState::napping, HeatState::chill);
    EXPECT_TRUE(near(at(render(napping), 50, 48), sleepMask)) << "mask between the closed eyes";
    PeaFace celebrating = face(FaceState::celebrating, HeatState::chill);
    // The hat rises 16 above the top of the head (24), left of the stem.
    EXPECT_TRUE(near(at(render(celebrating), 34, 14), partyHat) ||
                near(at(render(celebrating), 34, 14), QColor(255, 216, 77)));
    EXPECT_EQ(at(render(celebrating, Detail::menuBar), 34, 14).alpha(), 0);
}

} // namespace
} // namespace halvrick
