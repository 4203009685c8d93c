#include "ui/RingDial.h"

#include "CardTestSupport.h"
#include "core/FaceState.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace halvrick::cardtest {
namespace {

// Whether the ring is drawn in its colour at `degrees` clockwise from twelve o'clock.
bool filledAt(const QImage& image, double degrees) {
    const double radius = (RingDial::side - RingDial::lineWidth) / 2;
    const double angle = degrees * std::numbers::pi / 180;
    const QColor pixel = image.pixelColor(static_cast<int>(std::lround(56 + radius * std::sin(angle))),
                                          static_cast<int>(std::lround(56 - radius * std::cos(angle))));
    // The system green on white: green far ahead of red and blue.
    return pixel.green() > pixel.red() + 60 && pixel.green() > pixel.blue() + 60;
}

TEST(RingDialTest, FillsClockwiseFromTwelveWithinItsBounds) {
    ASSERT_TRUE(qtTestAppReady());
    struct Case {
        const char* name;
        double progress;
        double shown;
        std::vector<double> filled;
        std::vector<double> empty;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c :
         {Case{"empty", 0, 0, {}, {10, 90, 180, 270, 350}},
          Case{"a quarter", 0.25, 0.25, {10, 45, 80}, {100, 180, 270, 315}},
          Case{"three quarters", 0.75, 0.75, {45, 135, 225}, {290, 315, 340}},
          Case{"full", 1, 1, {10, 90, 180, 270, 350}, {}}, Case{"beyond full", 1.5, 1, {10, 350}, {}},
          Case{"below empty", -0.5, 0, {}, {10, 350}}, Case{"not a number", nan, 0, {}, {10, 350}}}) {
        SCOPED_TRACE(c.name);
        // A face without sleep marks, which reach out over the ring.
        RingDial dial(Theme::Colour::green, true, PeaFace::heat(HeatState::chill), PeaStyle{}, false);
        dial.setProgress(c.progress);
        EXPECT_EQ(dial.progress(), c.shown);
        EXPECT_EQ(dial.shownProgress(), c.shown) << "a hidden dial does not sweep";
        QImage image(RingDial::side, RingDial::side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        dial.render(&image);
        for (const double at : c.filled) {
            EXPECT_TRUE(filledAt(image, at)) << at << " degrees";
        }
        for (const double at : c.empty) {
            EXPECT_FALSE(filledAt(image, at)) << at << " degrees";
        }
    }
}

TEST(RingDialTest, AShownDialSweepsToANewProgressAndScalesThePea) {
    ASSERT_TRUE(qtTestAppReady());
    auto* dial = new RingDial(Theme::Colour::blue, true, face(FaceState::coolingDown, HeatState::warm),
                              PeaStyle{}, false);
    CardHost host(dial, 0);
    host.layOut();
    dial->setProgress(0.5);
    EXPECT_EQ(dial->progress(), 0.5);
    EXPECT_EQ(dial->shownProgress(), 0) << "sweeps over a second";
    dial->setPeaScale(1.06, true);
    EXPECT_EQ(dial->peaScale(), 1.06);
    EXPECT_EQ(dial->shownPeaScale(), 1);
    dial->setPeaScale(1, false);
    EXPECT_EQ(dial->shownPeaScale(), 1);
    EXPECT_EQ(dial->pea().geometry(), dial->rect()) << "room for the enlarged pea";
}

} // namespace
} // namespace halvrick::cardtest
