#include "PeaPixels.h"
#include "QtTestApp.h"
#include "pea/PeaRenderer.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

using Detail = PeaFace::Detail;

const QColor dropColour(91, 192, 248);

class PeaEffectsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }
};

PeaFace withDrops(std::int64_t count, double fall = 0) {
    PeaFace face;
    face.sweatDrops = count;
    face.dropFall = fall;
    return face;
}

TEST_F(PeaEffectsTest, DropsFillTheTableInOrderUpToFour) {
    // The first drop hangs at (87, 44), the second at (13, 52), just left of the body.
    EXPECT_TRUE(near(at(render(withDrops(1)), 87.5, 47), dropColour));
    EXPECT_EQ(at(render(withDrops(1)), 13, 51).alpha(), 0);
    EXPECT_TRUE(near(at(render(withDrops(2)), 13, 51), dropColour));
    for (const Detail detail : {Detail::full, Detail::menuBar}) {
        EXPECT_EQ(render(withDrops(7), detail), render(withDrops(4), detail));
        EXPECT_EQ(render(withDrops(0), detail), render(PeaFace(), detail));
    }
}

TEST_F(PeaEffectsTest, FallingDropsSinkAndFadeOverTheLastQuarter) {
    EXPECT_EQ(at(render(withDrops(1)), 87.5, 54.2).alpha(), 0);
    // 0.9 of the fall: 7.2 lower at opacity 0.4.
    const QColor fallen = at(render(withDrops(1, 0.9)), 87.5, 54.2);
    EXPECT_NEAR(fallen.alpha(), 102, 4);
    EXPECT_TRUE(near(QColor(fallen.red(), fallen.green(), fallen.blue()), dropColour));
    EXPECT_EQ(render(withDrops(3, 1.5)), render(PeaFace()));
    EXPECT_EQ(render(withDrops(3, -2)), render(withDrops(3, 0)));
}

TEST_F(PeaEffectsTest, RisingSteamLiftsAndFades) {
    PeaFace face;
    face.steam = 1;
    // The first wisp's white core, a quarter of the way up.
    const QColor low = at(render(face), 71.1, 20);
    EXPECT_TRUE(near(low, QColor(255, 255, 255)));
    face.steamRise = 1;
    // 7 higher; the outline and the white core over it are each drawn at 0.4.
    const QColor lifted = at(render(face), 71.1, 13);
    EXPECT_NEAR(lifted.alpha(), 255 * (1 - 0.6 * 0.6), 4);
    EXPECT_TRUE(near(QColor(lifted.red(), lifted.green(), lifted.blue()), QColor(177, 187, 171)));
    face.steamRise = 3;
    EXPECT_EQ(at(render(face), 71.1, 13), lifted);
}

TEST_F(PeaEffectsTest, ConfettiBurstsOutFromAboveTheHead) {
    const QColor firstPiece(255, 111, 168);
    PeaFace face;
    face.confetti = 0.5;
    // The first piece belongs at (8, 30); halfway out from (50, 24) it sits at (29, 27).
    EXPECT_TRUE(near(at(render(face), 29, 27), firstPiece));
    EXPECT_EQ(at(render(face), 8, 30).alpha(), 0);
    face.confetti = 1;
    EXPECT_TRUE(near(at(render(face), 8, 30), firstPiece));
    face.confetti = 4;
    EXPECT_EQ(render(face), render([] {
                  PeaFace full;
                  full.confetti = 1;
                  return full;
              }()));
}

TEST_F(PeaEffectsTest, BlushShowsOnlyInPlainColour) {
    PeaFace face;
    face.blush = 0.5;
    // Blush at 0.425 opacity over the lit body.
    EXPECT_TRUE(near(at(render(face), 27, 62), QColor(188, 177, 121)));
    EXPECT_TRUE(near(at(render(face, Detail::full, {false, true}), 27, 62), QColor(139, 203, 90)));
    EXPECT_EQ(render(face, Detail::full, {true, false}), render(PeaFace(), Detail::full, {true, false}));
}

TEST_F(PeaEffectsTest, SparklesAreStarsAroundThePea) {
    const QColor sparkle(255, 200, 61);
    PeaFace face;
    face.sparkle = 1;
    EXPECT_TRUE(near(at(render(face), 16, 23), sparkle));
    EXPECT_EQ(at(render(face), 20, 20).alpha(), 0) << "between the points of the star";
    EXPECT_EQ(at(render(face, Detail::menuBar), 16, 23).alpha(), 0);
}

} // namespace
} // namespace halvrick
