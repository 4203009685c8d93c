#include "menubar/TrayIconAnimator.h"

#include "QtTestApp.h"
#include "core/PeaAnimation.h"
#include "menubar/TrayIconComposer.h"

#include <QPixmap>
#include <gtest/gtest.h>

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

TEST_F(TrayIconAnimatorTest, TheSameIconObjectIsNeverSetTwiceInARow) {
    // Copies share the icon object; a look-alike drawn anew is another object.
    const QIcon lookAlike = plainIcon(Qt::green);
    animator.show({red, red, QIcon(red), green, green, lookAlike});
    for (int i = 0; i < 6; ++i) {
        timer->fire();
    }
    EXPECT_EQ(shown,
              (std::vector<qint64>{red.cacheKey(), green.cacheKey(), lookAlike.cacheKey(), red.cacheKey()}));
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

TEST_F(TrayIconAnimatorTest, AWarmLoopTellsTheTrayOnlyAboutChanges) {
    MenuBarIcons icons;
    TrayIconComposer composer(icons);
    const std::vector<QIcon> loop = composer.frames(PeaAnimation::menuBarFrames(HeatState::warm),
                                                    MenuBarDisplay::faceAndCPU, 48, PeaStyle{}, Qt::black);
    ASSERT_GE(loop.size(), 2u);
    std::size_t changes = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        changes += loop[i].cacheKey() != loop[(i + loop.size() - 1) % loop.size()].cacheKey() ? 1 : 0;
    }
    ASSERT_LT(changes, loop.size());
    animator.show(loop);
    shown.clear();
    for (std::size_t i = 0; i < loop.size(); ++i) {
        timer->fire();
    }
    EXPECT_EQ(animator.frameIndex(), 0u);
    EXPECT_EQ(shown.size(), changes);
}

} // namespace
} // namespace halvrick
