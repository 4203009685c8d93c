#include "menubar/TrayIconAnimator.h"

#include "QtTestApp.h"
#include "core/PeaAnimation.h"
#include "menubar/TrayIconComposer.h"

#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace halvrick {
namespace {

class FakeTimer : public RepeatingTimer {
public:
    void start(double seconds, std::function<void()> onFire) override {
        interval = seconds;
        callback = std::move(onFire);
        active = true;
        ++starts;
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }

    void fire() {
        ASSERT_TRUE(active);
        callback();
    }

    double interval = 0;
    bool active = false;
    int starts = 0;
    std::function<void()> callback;
};

QIcon plainIcon(const QColor& colour) {
    QPixmap pixmap(22, 22);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

class TrayIconAnimatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        animator.setIcon = [this](const QIcon& icon) { shown.push_back(icon.cacheKey()); };
    }

    FakeTimer* timer = new FakeTimer;
    TrayIconAnimator animator{std::unique_ptr<RepeatingTimer>(timer)};
    std::vector<qint64> shown;
    const QIcon red = plainIcon(Qt::red);
    const QIcon green = plainIcon(Qt::green);
    const QIcon blue = plainIcon(Qt::blue);
};

TEST_F(TrayIconAnimatorTest, OneFrameIsShownStillWithoutATimer) {
    animator.show({red});
    EXPECT_EQ(shown, std::vector<qint64>{red.cacheKey()});
    EXPECT_FALSE(animator.isAnimating());
    EXPECT_EQ(timer->starts, 0);
}

TEST_F(TrayIconAnimatorTest, ALoopStepsEightTimesASecondAndWraps) {
    animator.show({red, green, blue});
    ASSERT_TRUE(animator.isAnimating());
    EXPECT_DOUBLE_EQ(timer->interval, 0.125);
    timer->fire();
    timer->fire();
    EXPECT_EQ(animator.frameIndex(), 2u);
    timer->fire();
    EXPECT_EQ(animator.frameIndex(), 0u);
    EXPECT_EQ(shown,
              (std::vector<qint64>{red.cacheKey(), green.cacheKey(), blue.cacheKey(), red.cacheKey()}));
}

TEST_F(TrayIconAnimatorTest, ARunOfTheSameIconObjectIsOneWaitAndOneTrayUpdate) {
    // Copies share the icon object; a look-alike drawn anew is another object.
    const QIcon lookAlike = plainIcon(Qt::green);
    animator.show({red, red, QIcon(red), green, green, lookAlike});
    EXPECT_DOUBLE_EQ(timer->interval, 3 * 0.125);
    timer->fire();
    EXPECT_EQ(animator.frameIndex(), 3u);
    EXPECT_DOUBLE_EQ(timer->interval, 2 * 0.125);
    timer->fire();
    EXPECT_DOUBLE_EQ(timer->interval, 0.125);
    timer->fire();
    EXPECT_EQ(animator.frameIndex(), 0u);
    EXPECT_EQ(shown,
              (std::vector<qint64>{red.cacheKey(), green.cacheKey(), lookAlike.cacheKey(), red.cacheKey()}));
}

TEST_F(TrayIconAnimatorTest, ALoopOfOneIconAllRoundNeedsNoTimer) {
    animator.show({red, QIcon(red), red});
    EXPECT_FALSE(animator.isAnimating());
    EXPECT_EQ(shown, std::vector<qint64>{red.cacheKey()});
}

TEST_F(TrayIconAnimatorTest, ARunThatWrapsPastTheLastFrameIsWaitedForWhole) {
    animator.show({red, green, red});
    timer->fire();
    timer->fire();
    ASSERT_EQ(animator.frameIndex(), 2u);
    // The last red and the first are one run.
    EXPECT_DOUBLE_EQ(timer->interval, 2 * 0.125);
    timer->fire();
    EXPECT_EQ(animator.frameIndex(), 1u);
    EXPECT_EQ(shown,
              (std::vector<qint64>{red.cacheKey(), green.cacheKey(), red.cacheKey(), green.cacheKey()}));
}

TEST_F(TrayIconAnimatorTest, ANewLoopStartsAtItsFirstFrameAndStopsTheTimerWhenStill) {
    animator.show({red, green});
    timer->fire();
    ASSERT_EQ(animator.frameIndex(), 1u);
    animator.show({blue, red});
    EXPECT_EQ(animator.frameIndex(), 0u);
    EXPECT_EQ(shown.back(), blue.cacheKey());
    EXPECT_EQ(timer->starts, 2);

    animator.show({green});
    EXPECT_FALSE(animator.isAnimating());
    EXPECT_EQ(shown.back(), green.cacheKey());
    // The icon on show already: nothing to tell the tray.
    const std::size_t count = shown.size();
    animator.show({green});
    EXPECT_EQ(shown.size(), count);
}

TEST_F(TrayIconAnimatorTest, RedrawnFramesKeepThePlaceInTheLoop) {
    animator.show({red, green, blue});
    timer->fire();
    ASSERT_EQ(animator.frameIndex(), 1u);
    const QIcon redrawn = plainIcon(Qt::yellow);
    animator.replaceFrames({red, redrawn, blue});
    EXPECT_EQ(animator.frameIndex(), 1u);
    EXPECT_EQ(shown.back(), redrawn.cacheKey());
    EXPECT_EQ(timer->starts, 1) << "the timer keeps its beat";

    animator.replaceFrames({red, redrawn, blue});
    EXPECT_EQ(shown.back(), redrawn.cacheKey());
    EXPECT_EQ(shown.size(), 3u) << "nothing new";

    animator.replaceFrames({blue});
    EXPECT_EQ(animator.frameIndex(), 0u) << "another loop starts over";
    EXPECT_FALSE(animator.isAnimating());
}

TEST_F(TrayIconAnimatorTest, EveryLoopWakesAndTellsTheTrayOnlyAtChangesAndKeepsItsLength) {
    MenuBarIcons icons;
    TrayIconComposer composer(icons);
    for (const HeatState state : {HeatState::warm, HeatState::sweating, HeatState::meltdown}) {
        SCOPED_TRACE(static_cast<int>(state));
        const std::vector<QIcon> loop = composer.frames(
            PeaAnimation::menuBarFrames(state), MenuBarDisplay::faceAndCPU, 48, PeaStyle{}, Qt::black);
        ASSERT_GE(loop.size(), 2u);
        std::size_t changes = 0;
        for (std::size_t i = 0; i < loop.size(); ++i) {
            changes += loop[i].cacheKey() != loop[(i + loop.size() - 1) % loop.size()].cacheKey() ? 1 : 0;
        }
        animator.show(loop);
        // Once round from the first change on.
        timer->fire();
        const std::size_t start = animator.frameIndex();
        shown.clear();
        std::size_t wakes = 0;
        double elapsed = 0;
        do {
            elapsed += timer->interval;
            timer->fire();
            ++wakes;
        } while (animator.frameIndex() != start && wakes <= loop.size());
        EXPECT_EQ(wakes, changes);
        EXPECT_EQ(shown.size(), changes);
        EXPECT_NEAR(elapsed, static_cast<double>(loop.size()) * 0.125, 1e-9);
    }
}

// The frame of `face` drawn afresh at `pixels`, as the tray would show it with no cache at all: the pea
// rendered and tinted by hand, the badge painted over it, or the figure alone.
QImage drawnAfresh(const PeaFace& face, MenuBarDisplay display, int percent, const PeaStyle& style,
                   const QColor& tint, int pixels) {
    const auto pea = [&](int side) {
        QImage image = MenuBarIcons::drawFrame(face.simplifiedForMenuBar(), style, side)
                           .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (style.monochrome) {
            QPainter painter(&image);
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(image.rect(), tint);
        }
        return image;
    };
    if (display == MenuBarDisplay::face) {
        return pea(pixels).convertToFormat(QImage::Format_ARGB32);
    }
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double k = pixels / MenuBarIcons::pointSize;
    if (display == MenuBarDisplay::faceAndCPU) {
        const QRectF place = TrayIconComposer::badgedPeaRect();
        painter.drawImage(QPointF(std::round(place.left() * k), 0),
                          pea(static_cast<int>(std::lround(place.width() * k))));
    }
    painter.scale(k, k);
    if (display == MenuBarDisplay::faceAndCPU) {
        TrayIconComposer::paintBadge(painter, percent, style, tint);
    } else {
        TrayIconComposer::paintDigits(painter, percent, tint);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage imageOf(const QIcon& icon, int pixels) {
    return icon.pixmap(QSize(pixels, pixels), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Beside a badge the pea of the 22- and 44-pixel icons is scaled down from a larger render, which no
// direct drawing matches pixel for pixel; at 32 and 64 pixels it is the 22- and 44-pixel frame as it is.
bool smallPeaIsScaled(MenuBarDisplay display, int pixels) {
    return display == MenuBarDisplay::faceAndCPU && (pixels == 22 || pixels == 44);
}

// What the tray holds at every tick of two rounds of each loop, in every display, style and tint, is the
// frame of that tick composed from nothing and, where drawing can match it, drawn directly: the cache,
// the reused badges and the waits over runs of one icon change nothing the user sees.
TEST_F(TrayIconAnimatorTest, WhatTheTrayHoldsAtEveryTickIsTheFrameOfThatTickDrawnAfresh) {
    MenuBarIcons icons;
    TrayIconComposer composer(icons);
    std::map<qint64, QIcon> handed;
    animator.setIcon = [&](const QIcon& icon) {
        shown.push_back(icon.cacheKey());
        handed[icon.cacheKey()] = icon;
    };
    const std::vector<std::pair<PeaStyle, QColor>> looks{
        {PeaStyle{}, Qt::black}, {PeaStyle{false, true}, Qt::black}, {PeaStyle{true, false}, Qt::white}};
    constexpr int percent = 63;
    for (const MenuBarDisplay display :
         {MenuBarDisplay::face, MenuBarDisplay::faceAndCPU, MenuBarDisplay::cpu}) {
        for (const auto& [style, tint] : looks) {
            for (const HeatState state :
                 {HeatState::chill, HeatState::warm, HeatState::sweating, HeatState::meltdown}) {
                SCOPED_TRACE(::testing::Message()
                             << "display " << static_cast<int>(display) << " style " << style.monochrome
                             << style.highContrast << " state " << static_cast<int>(state));
                const std::vector<PeaFace> faces = PeaAnimation::menuBarFrames(state);
                animator.show(composer.frames(faces, display, percent, style, tint));
                const std::size_t ticks = display == MenuBarDisplay::cpu ? 1 : 2 * faces.size();
                std::size_t tick = 0;
                while (tick < ticks) {
                    const QIcon& onShow = handed.at(shown.back());
                    const std::size_t held = animator.isAnimating() ? animator.framesHeld() : ticks - tick;
                    for (std::size_t i = 0; i < held && tick < ticks; ++i, ++tick) {
                        const PeaFace& face = faces[tick % faces.size()];
                        // The same frame composed from nothing: a cold cache, a new composer.
                        MenuBarIcons coldIcons;
                        TrayIconComposer cold(coldIcons);
                        const QIcon composedAfresh =
                            cold.frames({face}, display, percent, style, tint).front();
                        for (const int pixels : MenuBarIcons::pixelSizes) {
                            SCOPED_TRACE(::testing::Message()
                                         << "tick " << tick << " at " << pixels << " px");
                            const QImage actual = imageOf(onShow, pixels);
                            ASSERT_EQ(actual, imageOf(composedAfresh, pixels));
                            if (!smallPeaIsScaled(display, pixels)) {
                                ASSERT_EQ(actual, drawnAfresh(face, display, percent, style, tint, pixels));
                            }
                        }
                    }
                    if (animator.isAnimating()) {
                        timer->fire();
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace halvrick
