#include "pea/PeaRenderer.h"

#include "PeaPixels.h"
#include "QtTestApp.h"
#include "core/FaceState.h"
#include "pea/PeaStyle.h"

#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <tuple>

namespace halvrick {
namespace {

using Detail = PeaFace::Detail;

const PeaStyle colour{};
const PeaStyle highContrast{false, true};
const PeaStyle monochrome{true, false};

class PeaRendererTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }
};

// Every mood, both details, all three styles.
class PeaMoodTest : public ::testing::TestWithParam<std::tuple<FaceState, Detail, int>> {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }
    static PeaStyle style() {
        const std::array<PeaStyle, 3> styles{colour, highContrast, monochrome};
        return styles[static_cast<std::size_t>(std::get<2>(GetParam()))];
    }
};

TEST_P(PeaMoodTest, DrawsThePeaOnATransparentBackground) {
    const auto [mood, detail, styleIndex] = GetParam();
    const QImage image = render(face(mood, HeatState::sweating), detail, style());
    ASSERT_EQ(image.size(), QSize(200, 200));

    int covered = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            covered += qAlpha(p) > 0 ? 1 : 0;
            if (style().monochrome) {
                ASSERT_TRUE(qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0)
                    << "colour in monochrome at " << x << "," << y;
            }
        }
        // Nothing reaches the left edge of the square.
        ASSERT_EQ(qAlpha(image.pixel(0, y)), 0) << "row " << y;
    }
    EXPECT_GT(covered, image.width() * image.height() / 5);
    for (const auto& [x, y] : {std::pair{0.5, 0.5}, {0.5, 99.5}, {99.5, 99.5}}) {
        EXPECT_EQ(at(image, x, y).alpha(), 0) << x << "," << y;
    }
}

std::string moodCaseName(const ::testing::TestParamInfo<PeaMoodTest::ParamType>& info) {
    const auto [mood, detail, style] = info.param;
    const std::array<const char*, 3> styles{"colour", "highContrast", "monochrome"};
    return std::string(toString(mood)) + (detail == Detail::full ? "_full_" : "_menuBar_") +
           styles[static_cast<std::size_t>(style)];
}

INSTANTIATE_TEST_SUITE_P(AllMoods, PeaMoodTest,
                         ::testing::Combine(::testing::ValuesIn(allFaceStates),
                                            ::testing::Values(Detail::full, Detail::menuBar),
                                            ::testing::Values(0, 1, 2)),
                         moodCaseName);

struct Probe {
    const char* what;
    HeatState heat;
    Detail detail;
    PeaStyle style;
    double x;
    double y;
    QColor expected;
};

TEST_F(PeaRendererTest, ChillAndMeltdownShowTheirColoursWhereTheyBelong) {
    const QColor body(139, 203, 90);
    const QColor shade(95, 163, 58);
    const QColor outline(46, 74, 31);
    const QColor drop(91, 192, 248);
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor clear(0, 0, 0, 0);
    const Probe probes[] = {
        {"chill body", HeatState::chill, Detail::full, colour, 50, 62, body},
        {"chill shaded crescent", HeatState::chill, Detail::full, colour, 70, 78, shade},
        {"chill left outline", HeatState::chill, Detail::full, colour, 14.75, 56, outline},
        {"chill outside the outline", HeatState::chill, Detail::full, colour, 12, 56, clear},
        {"chill sunglasses lens", HeatState::chill, Detail::full, colour, 37, 52, outline},
        {"high contrast has no shade", HeatState::chill, Detail::full, highContrast, 70, 78, body},
        {"high contrast outline", HeatState::chill, Detail::full, highContrast, 14.5, 56, outline},
        {"monochrome body", HeatState::chill, Detail::full, monochrome, 50, 62, black},
        {"monochrome lens is a hole", HeatState::chill, Detail::full, monochrome, 37, 52, clear},
        {"tray body has no shade", HeatState::chill, Detail::menuBar, colour, 70, 78, body},
        {"meltdown body", HeatState::meltdown, Detail::full, colour, 50, 62, body},
        {"meltdown left outline", HeatState::meltdown, Detail::full, colour, 11.75, 60, outline},
        {"meltdown puddle", HeatState::meltdown, Detail::full, colour, 20, 91.5, body},
        {"meltdown steam", HeatState::meltdown, Detail::full, colour, 71.1, 20, white},
        {"meltdown drop", HeatState::meltdown, Detail::full, colour, 87.5, 47, drop},
        {"monochrome mouth is a hole", HeatState::meltdown, Detail::full, monochrome, 50, 74, clear},
        {"monochrome puddle", HeatState::meltdown, Detail::full, monochrome, 20, 91.5, black},
        {"tray puddle", HeatState::meltdown, Detail::menuBar, colour, 20, 91.5, body},
        {"tray melt drops its drops", HeatState::meltdown, Detail::menuBar, colour, 87.5, 47, clear},
    };
    for (const Probe& p : probes) {
        const QColor seen = at(render(PeaFace::heat(p.heat), p.detail, p.style), p.x, p.y);
        if (p.expected.alpha() == 0) {
            EXPECT_EQ(seen.alpha(), 0) << p.what;
        } else {
            EXPECT_TRUE(near(seen, p.expected)) << p.what << ": " << ::testing::PrintToString(seen);
        }
    }
}

TEST_F(PeaRendererTest, AnEmptyAreaDrawsNothing) {
    for (const QSizeF size : {QSizeF(0, 50), QSizeF(50, 0), QSizeF(-10, -10)}) {
        QImage image(50, 50, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        PeaRenderer::draw(PeaFace::heat(HeatState::meltdown), Detail::full, monochrome, painter, size);
        PeaRenderer::draw(PeaFace::heat(HeatState::meltdown), Detail::full, colour, painter, size);
        painter.end();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ASSERT_EQ(qAlpha(image.pixel(x, y)), 0);
            }
        }
    }
    EXPECT_TRUE(PeaRenderer::image(PeaFace(), Detail::full, colour, QSizeF(0, 0)).isNull());
}

TEST_F(PeaRendererTest, AWideAreaCentresTheSquarePea) {
    const PeaFace face = PeaFace::heat(HeatState::sweating);
    const QImage wide = PeaRenderer::image(face, Detail::full, colour, QSizeF(200, 100));
    const QImage square = PeaRenderer::image(face, Detail::full, colour, QSizeF(100, 100));
    EXPECT_EQ(wide.copy(50, 0, 100, 100), square);
    for (int y = 0; y < 100; ++y) {
        for (const int x : {0, 49, 150, 199}) {
            ASSERT_EQ(qAlpha(wide.pixel(x, y)), 0);
        }
    }
}

TEST_F(PeaRendererTest, MonochromeOnAPainterCutsOnlyThePeaNotWhatIsBelow) {
    const PeaFace face = PeaFace::heat(HeatState::chill);
    QImage page(140, 140, QImage::Format_ARGB32_Premultiplied);
    page.setDevicePixelRatio(2);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.translate(10, 10);
    PeaRenderer::draw(face, Detail::full, monochrome, painter, QSizeF(50, 50));
    painter.end();

    QImage expected(140, 140, QImage::Format_ARGB32_Premultiplied);
    expected.setDevicePixelRatio(2);
    expected.fill(Qt::white);
    QPainter reference(&expected);
    reference.drawImage(QPointF(10, 10),
                        PeaRenderer::image(face, Detail::full, monochrome, QSizeF(50, 50), 2));
    reference.end();

    EXPECT_EQ(page, expected);
    // The lens hole shows the white page.
    EXPECT_EQ(page.pixelColor(20 + 37, 20 + 52), QColor(Qt::white));
}

TEST_F(PeaRendererTest, APaintersOpacityFadesThePeaAsOne) {
    for (const PeaStyle& style : {colour, monochrome}) {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setOpacity(0.5);
        PeaRenderer::draw(PeaFace::heat(HeatState::warm), Detail::full, style, painter, QSizeF(100, 100));
        painter.end();
        EXPECT_NEAR(image.pixelColor(50, 62).alpha(), 128, 2) << "body";
        EXPECT_NEAR(image.pixelColor(89, 46).alpha(), 128, 2) << "drop";
    }
}

TEST_F(PeaRendererTest, TheTrayLeavesOutEverythingButEyesMouthAndEffects) {
    PeaFace busy;
    busy.eyes = PeaFace::Eyes::dizzy;
    busy.brows = PeaFace::Brows::worried;
    busy.blush = 1;
    busy.accessory = PeaFace::Accessory::partyHat;
    busy.leaf = PeaFace::LeafPose::waving;
    busy.sparkle = 1;
    busy.confetti = 1;
    busy.puff = 1;
    PeaFace plain;
    plain.eyes = PeaFace::Eyes::wide;
    for (const PeaStyle& style : {colour, highContrast, monochrome}) {
        EXPECT_EQ(render(busy, Detail::menuBar, style), render(plain, Detail::menuBar, style));
    }
}

// Alpha summed along the middle row outside the body's left edge: half the outline's width in pixels.
double outerOutlineWidth(Detail detail, const PeaStyle& style, double size) {
    const QImage image = PeaRenderer::image(PeaFace(), detail, style, QSizeF(size, size));
    const int row = static_cast<int>(0.56 * size);
    const double edge = 0.15 * size;
    double sum = 0;
    for (int x = 0; x < edge; ++x) {
        sum += image.pixelColor(x, row).alphaF();
    }
    return sum;
}

TEST_F(PeaRendererTest, TheTrayOutlineStaysOnePointWideAtAnySize) {
    // Sizes that put the body's edge on a pixel boundary.
    for (const double size : {60.0, 200.0}) {
        EXPECT_NEAR(outerOutlineWidth(Detail::menuBar, colour, size), 0.5, 0.15) << size;
        EXPECT_NEAR(outerOutlineWidth(Detail::menuBar, highContrast, size), 0.75, 0.15) << size;
        EXPECT_NEAR(outerOutlineWidth(Detail::full, colour, size), 1.3 * size / 100, 0.15) << size;
    }
}

TEST_F(PeaRendererTest, ThePuddleAppearsWithMeltAndStopsGrowingAt1Point1) {
    PeaFace face;
    EXPECT_EQ(at(render(face), 20, 90).alpha(), 0) << "no melt, no puddle";
    face.melt = 1; // bottom 91, puddle from x = 7
    EXPECT_EQ(at(render(face), 4, 91).alpha(), 0);
    face.melt = 2; // bottom 94, puddle from x = 2.7
    EXPECT_EQ(at(render(face), 3.5, 94).alpha(), 255);
    face.melt = 3; // bottom 97, still from x = 2.7
    EXPECT_EQ(at(render(face), 3.5, 97).alpha(), 255);
    EXPECT_EQ(at(render(face), 0.5, 97).alpha(), 0);
}

TEST_F(PeaRendererTest, SleepLettersAreCappedAtThreeAndTheirRiseAtOne) {
    PeaFace sleepy;
    sleepy.sleepZ = 3;
    PeaFace sleepier = sleepy;
    sleepier.sleepZ = 5;
    EXPECT_EQ(render(sleepier), render(sleepy));
    EXPECT_NE(render(sleepy), render(PeaFace()));

    sleepy.zRise = 1;
    sleepier.sleepZ = 3;
    sleepier.zRise = 2;
    EXPECT_EQ(render(sleepier), render(sleepy));
}

TEST_F(PeaRendererTest, NumbersThatCannotBeDrawnDrawAsZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    PeaFace broken = PeaFace::heat(HeatState::warm);
    broken.melt = nan;
    broken.jitter = inf;
    broken.squash = nan;
    broken.dropFall = nan;
    EXPECT_EQ(render(broken), render(PeaFace::heat(HeatState::warm)));
}

TEST_F(PeaRendererTest, StylesCompareAndHashFieldByField) {
    EXPECT_EQ(PeaStyle{}, (PeaStyle{false, false}));
    EXPECT_NE(monochrome, highContrast);
    EXPECT_NE(monochrome, (PeaStyle{true, true}));
    EXPECT_NE(std::hash<PeaStyle>{}(monochrome), std::hash<PeaStyle>{}(highContrast));
    EXPECT_EQ(std::hash<PeaStyle>{}(PeaStyle{true, true}), std::hash<PeaStyle>{}(PeaStyle{true, true}));
}

} // namespace
} // namespace halvrick
