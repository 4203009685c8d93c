#include "pea/AnimatedPeaView.h"

#include "../core/PeaFacePrinting.h"
#include "QtTestApp.h"
#include "core/PeaAnimation.h"
#include "pea/PeaView.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

class FakeTicker : public AnimatedPeaView::Ticker {
public:
    void start(std::function<void()> tick) override {
        active = true;
        onTick = std::move(tick);
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }

    bool active = false;
    std::function<void()> onTick;
};

class AnimatedPeaViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    std::unique_ptr<AnimatedPeaView> makeView(const PeaFace& face, bool isAnimating,
                                              std::optional<double> pupilOffset = std::nullopt) {
        auto fake = std::make_unique<FakeTicker>();
        ticker = fake.get();
        auto view = std::make_unique<AnimatedPeaView>(
            face, PeaFace::Detail::full, PeaStyle{}, isAnimating, pupilOffset, nullptr,
            AnimatedPeaView::Timing{[this] { return now; }, std::move(fake)});
        view->resize(64, 64);
        return view;
    }

    // Advances the clock and lets the ticker fire once, as the frame timer would.
    void step(double seconds) {
        now += seconds;
        if (ticker->active && ticker->onTick) {
            ticker->onTick();
        }
    }

    // Whole and binary fractions of seconds, so elapsed times come out exact.
    double now = 1000;
    FakeTicker* ticker = nullptr;
    const PeaFace chill = PeaFace::heat(HeatState::chill);
    const PeaFace meltdown = PeaFace::heat(HeatState::meltdown);
};

TEST_F(AnimatedPeaViewTest, ANewFaceBlendsInOverFourTenthsOfASecond) {
    const auto view = makeView(chill, false);
    now += 5;
    view->setFace(meltdown);
    EXPECT_EQ(view->shownFace(), chill);
    now += 0.125;
    EXPECT_EQ(view->shownFace(), chill.interpolated(meltdown, 0.125 / AnimatedPeaView::blendDuration));
    now += 0.125;
    EXPECT_EQ(view->shownFace(), chill.interpolated(meltdown, 0.25 / AnimatedPeaView::blendDuration));
    now += 0.25;
    EXPECT_EQ(view->shownFace(), meltdown);
    now += 60;
    EXPECT_EQ(view->shownFace(), meltdown);
}

TEST_F(AnimatedPeaViewTest, AChangeMidBlendStartsFromTheFaceAskedForBefore) {
    const auto view = makeView(chill, false);
    now += 5;
    view->setFace(meltdown);
    now += 0.25;
    const PeaFace sweating = PeaFace::heat(HeatState::sweating);
    view->setFace(sweating);
    EXPECT_EQ(view->shownFace(), meltdown);
    now += 0.25;
    EXPECT_EQ(view->shownFace(), meltdown.interpolated(sweating, 0.25 / AnimatedPeaView::blendDuration));
}

TEST_F(AnimatedPeaViewTest, SettingTheSameFaceStartsNoBlend) {
    const auto view = makeView(chill, false);
    view->show();
    step(1);
    EXPECT_FALSE(view->isTicking());
    view->setFace(chill);
    EXPECT_FALSE(view->isTicking());
}

TEST_F(AnimatedPeaViewTest, AStillPeaStopsDrawingOnceItsBlendEnds) {
    const auto view = makeView(chill, false);
    view->show();
    EXPECT_TRUE(view->isTicking()) << "a new view blends in like a change";
    step(0.5);
    EXPECT_FALSE(view->isTicking());

    view->setFace(meltdown);
    EXPECT_TRUE(view->isTicking());
    step(0.375);
    EXPECT_TRUE(view->isTicking());
    step(0.0625);
    EXPECT_FALSE(view->isTicking());
}

TEST_F(AnimatedPeaViewTest, AHiddenPeaStopsAndAShownOneResumes) {
    const auto view = makeView(chill, true);
    EXPECT_FALSE(view->isTicking()) << "not shown yet";
    view->show();
    EXPECT_TRUE(view->isTicking());
    step(10);
    EXPECT_TRUE(view->isTicking()) << "idle motion never ends while animating";
    view->hide();
    EXPECT_FALSE(view->isTicking());
    view->setFace(meltdown);
    EXPECT_FALSE(view->isTicking()) << "a change while hidden draws nothing";
    view->show();
    EXPECT_TRUE(view->isTicking());
    view->setAnimating(false);
    step(1);
    EXPECT_FALSE(view->isTicking());
}

TEST_F(AnimatedPeaViewTest, AnimatingAddsTheIdleMotionOfTheSharedClock) {
    const auto view = makeView(meltdown, true);
    now += 3.3;
    EXPECT_EQ(view->shownFace(), PeaAnimation::animate(meltdown, now));
}

TEST_F(AnimatedPeaViewTest, APupilOverrideHoldsThePupilsWhereverTheFaceLooks) {
    PeaFace looking = chill;
    looking.pupilOffset = 1;
    const auto view = makeView(looking, true, 0.0);
    now += 1;
    EXPECT_EQ(view->shownFace().pupilOffset, 0.0);
    view->setPupilOffset(std::nullopt);
    EXPECT_EQ(view->shownFace().pupilOffset, 1.0);
}

TEST_F(AnimatedPeaViewTest, AClockSetBackEndsTheBlend) {
    const auto view = makeView(chill, false);
    view->show();
    view->setFace(meltdown);
    step(-3600);
    EXPECT_EQ(view->shownFace(), meltdown);
    EXPECT_FALSE(view->isTicking());
}

TEST_F(AnimatedPeaViewTest, TheViewsDrawTheFaceTheyShow) {
    const PeaStyle monochrome{true, false};
    PeaView still(chill, PeaFace::Detail::full, monochrome);
    still.resize(100, 100);
    const QImage drawn = still.grab().toImage();
    const QColor background = drawn.pixelColor(1, 1);
    EXPECT_EQ(drawn.pixelColor(50, 62), QColor(Qt::black));
    // A monochrome hole shows the window behind the pea, not a hole in the window.
    EXPECT_EQ(drawn.pixelColor(37, 52), background);

    const auto animated = makeView(chill, false);
    animated->resize(100, 100);
    animated->setStyle(monochrome);
    EXPECT_EQ(animated->grab().toImage(), drawn);
}

} // namespace
} // namespace halvrick
