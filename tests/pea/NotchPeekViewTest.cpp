#include "pea/NotchPeekView.h"

#include "QtTestApp.h"
#include "core/HeadsUp.h"
#include "model/Copy.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

constexpr double notchWidth = 179;
constexpr double notchHeight = 32;
const QColor grey(235, 235, 235);

// The peek of a mild meltdown heads-up on grey, at two pixels a point.
QImage render(const NotchPeekState& state, NotchPeekMoment moment = {}) {
    QImage image(680, 280, QImage::Format_ARGB32_Premultiplied);
    image.fill(grey);
    QPainter painter(&image);
    painter.scale(2, 2);
    paintNotchPeek(painter, state, notchWidth, notchHeight, moment);
    painter.end();
    return image;
}

std::unique_ptr<NotchPeekState> sample() {
    auto state = std::make_unique<NotchPeekState>(
        QString::fromStdString(
            Copy::headsUp(HeadsUp::heatingUp(HeatState::meltdown, std::nullopt, 91), Personality::mild)),
        PeaFace::heat(HeatState::meltdown), PeaStyle{}, false, [] {});
    state->setVisible(true);
    return state;
}

// The colour at a point, in points.
QColor at(const QImage& image, double x, double y) {
    return image.pixelColor(static_cast<int>(x * 2), static_cast<int>(y * 2));
}

bool isBlack(const QColor& c) {
    return c.red() < 8 && c.green() < 8 && c.blue() < 8;
}
bool isGrey(const QColor& c) {
    return c.rgb() == grey.rgb();
}

TEST(NotchPeekViewTest, SampleShowsCapPeaAndMessage) {
    ASSERT_TRUE(qtTestAppReady());
    const auto state = sample();
    const QImage image = render(*state);
    const QString target = QCoreApplication::applicationDirPath() + "/notch-peek-sample.png";
    EXPECT_TRUE(image.save(target, "PNG")) << target.toStdString();

    const double capLeft = (340 - notchWidth) / 2;
    // The cap covers the notch and 2 points below it, with square top corners and round bottom ones.
    EXPECT_TRUE(isBlack(at(image, 170, 10)));
    EXPECT_TRUE(isBlack(at(image, capLeft + 0.5, 0.5)));
    EXPECT_TRUE(isBlack(at(image, capLeft + 30, 33.5)));
    EXPECT_FALSE(isBlack(at(image, capLeft + 0.5, 33.5)));
    EXPECT_TRUE(isGrey(at(image, capLeft - 2, 10)));
    EXPECT_TRUE(isGrey(at(image, capLeft + 30, 36)));
    // The pea hangs out of it, in colour: a good part of its 54-point frame is green.
    int green = 0;
    int all = 0;
    for (double y = 28; y < 82; y += 1) {
        for (double x = 143; x < 197; x += 1) {
            const QColor c = at(image, x, y);
            green += c.green() > c.red() + 30 && c.green() > c.blue() + 30;
            ++all;
        }
    }
    EXPECT_GT(green, all / 5);
    // The message bubble starts 8 below the pea's frame, dark on the grey.
    EXPECT_TRUE(isGrey(at(image, 170, 93)));
    EXPECT_LT(at(image, 170, 96).red(), 60);
    EXPECT_TRUE(isGrey(at(image, 1, 120))) << "the bubble is narrower than the peek";
}

TEST(NotchPeekViewTest, HiddenPeekIsTuckedAwayAndTransparent) {
    ASSERT_TRUE(qtTestAppReady());
    const auto state = sample();
    const QImage hidden = render(*state, {0, 0});
    QImage empty(hidden.size(), hidden.format());
    empty.fill(grey);
    EXPECT_EQ(hidden, empty);

    // Halfway it has slid up by 44 points: the cap is out of sight and the pea half faded.
    const QImage halfway = render(*state, {0.5, 0});
    EXPECT_FALSE(isBlack(at(halfway, 170, 10)));
    EXPECT_TRUE(isGrey(at(halfway, 170, 135)));
}

TEST(NotchPeekViewTest, ViewIsThePeeksSizeAndFollowsVisibility) {
    ASSERT_TRUE(qtTestAppReady());
    auto state =
        std::make_shared<NotchPeekState>(QStringLiteral("hi"), PeaFace{}, PeaStyle{}, false, nullptr);
    NotchPeekView view(state, 200, 32);
    EXPECT_EQ(view.size(), QSize(340, 140));
    EXPECT_EQ(view.reveal(), 0);
    state->setVisible(true);
    EXPECT_EQ(view.reveal(), 1);
}

} // namespace
} // namespace halvrick
