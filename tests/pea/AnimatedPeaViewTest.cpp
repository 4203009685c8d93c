#include "pea/AnimatedPeaView.h"

#include "../core/PeaFacePrinting.h"
#include "QtTestApp.h"
#include "core/PeaAnimation.h"
#include "pea/PeaView.h"

#include <QApplication>
#include <QEnterEvent>
#include <QExposeEvent>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

class FakeTicker : public AnimatedPeaView::Ticker {
public:
    void start(double seconds, std::function<void()> tick) override {
        active = true;
        interval = seconds;
        onTick = std::move(tick);
    }
    void stop() override { active = false; }
    bool isActive() const override { return active; }

    bool active = false;
    double interval = 0;
    std::function<void()> onTick;
};

// Lets the offscreen window system deliver what showing and activating windows set off.
void settle() {
    QCoreApplication::processEvents();
}

class AnimatedPeaViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    std::unique_ptr<AnimatedPeaView> makeView(const PeaFace& face, bool isAnimating,
                                              std::optional<double> pupilOffset = std::nullopt) {
        auto fake = std::make_unique<FakeTicker>();
        ticker = fake.get();
        auto view = std::make_unique<AnimatedPeaView>(
            face, PeaFace::Detail::full, PeaStyle{}, isAnimating, pupilOffset, nullptr,
            AnimatedPeaView::Timing{[this] { return now; }, std::move(fake),
                                    [this](const QWindow& window) { return exposed && window.isExposed(); }});
        // Away from the pointer, which the offscreen screen keeps in its top-left corner.
        view->setGeometry(300, 300, 64, 64);
        return view;
    }

    // The pea's window on screen and active: someone is looking at it.
    static void showWatched(QWidget& window) {
        window.show();
        settle();
        // The offscreen window system activates a window again only through the application.
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(window.isActiveWindow());
    }

    // Another window takes the activation.
    void lookAway() {
        other = std::make_unique<QWidget>();
        other->setGeometry(500, 500, 10, 10);
        showWatched(*other);
    }

    // The window system says what part of the window shows now.
    void expose(QWidget& window, bool shown) {
        exposed = shown;
        QExposeEvent event(shown ? QRegion(window.rect()) : QRegion());
        QCoreApplication::sendEvent(window.windowHandle(), &event);
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
    bool exposed = true;
    std::unique_ptr<QWidget> other;
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
    showWatched(*view);
    step(1);
    EXPECT_FALSE(view->isTicking());
    view->setFace(chill);
    EXPECT_FALSE(view->isTicking());
}

TEST_F(AnimatedPeaViewTest, AStillPeaStopsDrawingOnceItsBlendEnds) {
    const auto view = makeView(chill, false);
    showWatched(*view);
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
    showWatched(*view);
    EXPECT_TRUE(view->isTicking());
    step(10);
    EXPECT_TRUE(view->isTicking()) << "idle motion never ends while animating";
    view->hide();
    EXPECT_FALSE(view->isTicking());
    view->setFace(meltdown);
    EXPECT_FALSE(view->isTicking()) << "a change while hidden draws nothing";
    showWatched(*view);
    EXPECT_TRUE(view->isTicking());
    view->setAnimating(false);
    step(1);
    EXPECT_FALSE(view->isTicking());
}

TEST_F(AnimatedPeaViewTest, APeaMovesOnlyWhileItsWindowIsActiveOrUnderThePointer) {
    const auto view = makeView(meltdown, true);
    showWatched(*view);
    step(1);
    ASSERT_TRUE(view->isTicking());
    EXPECT_EQ(ticker->interval, AnimatedPeaView::frameInterval);

    lookAway();
    EXPECT_FALSE(view->isActiveWindow());
    EXPECT_FALSE(view->isTicking()) << "on screen, but nobody is looking";
    EXPECT_EQ(view->watchLevel(), WindowWatch::Level::seen);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(view.get(), &enter);
    EXPECT_TRUE(view->isTicking()) << "the pointer came over it";
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(view.get(), &leave);
    EXPECT_FALSE(view->isTicking());

    QApplication::setActiveWindow(view.get());
    EXPECT_TRUE(view->isTicking()) << "active again";
}

TEST_F(AnimatedPeaViewTest, AStillPeaHoldsItsFrameAndCarriesOnFromIt) {
    const auto view = makeView(meltdown, true);
    showWatched(*view);
    step(2.5);
    const double pausedAt = now;
    const PeaFace lastMoving = view->shownFace();
    EXPECT_EQ(lastMoving, PeaAnimation::animate(meltdown, pausedAt));

    lookAway();
    now += 7.25;
    EXPECT_EQ(view->shownFace(), lastMoving) << "a still frame while nobody looks";

    QApplication::setActiveWindow(view.get());
    EXPECT_EQ(view->shownFace(), lastMoving) << "no jump on resuming";
    step(0.5);
    EXPECT_EQ(view->shownFace(), PeaAnimation::animate(meltdown, pausedAt + 0.5));

    view->hide();
    now += 30;
    showWatched(*view);
    step(0.25);
    EXPECT_EQ(view->shownFace(), PeaAnimation::animate(meltdown, pausedAt + 0.75))
        << "hidden counts as still";
}

TEST_F(AnimatedPeaViewTest, AMinimisedOrCoveredWindowCostsNothing) {
    const auto view = makeView(meltdown, true);
    showWatched(*view);
    ASSERT_TRUE(view->isTicking());

    view->showMinimized();
    settle();
    EXPECT_EQ(view->watchLevel(), WindowWatch::Level::unseen);
    EXPECT_FALSE(view->isTicking());
    view->setFace(chill);
    EXPECT_FALSE(view->isTicking()) << "not even a blend where nothing shows";
    view->showNormal();
    settle();
    QApplication::setActiveWindow(view.get());
    EXPECT_TRUE(view->isTicking());

    expose(*view, false);
    EXPECT_EQ(view->watchLevel(), WindowWatch::Level::unseen);
    EXPECT_FALSE(view->isTicking());
    expose(*view, true);
    EXPECT_TRUE(view->isTicking());
}

TEST_F(AnimatedPeaViewTest, AChangeInAWindowNobodyWatchesStillBlendsIn) {
    const auto view = makeView(chill, true);
    showWatched(*view);
    lookAway();
    const double heldAt = now;
    step(1);
    ASSERT_FALSE(view->isTicking());
    view->setFace(meltdown);
    EXPECT_TRUE(view->isTicking());
    step(0.5);
    EXPECT_FALSE(view->isTicking());
    EXPECT_EQ(view->shownFace(), PeaAnimation::animate(meltdown, heldAt)) << "the new face, held still";
}

TEST_F(AnimatedPeaViewTest, ABubbleThatTakesNoFocusMovesAtTheGlanceRate) {
    QWidget bubble(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    bubble.setAttribute(Qt::WA_ShowWithoutActivating);
    bubble.move(300, 300);
    auto* layout = new QVBoxLayout(&bubble);
    // The card is made first and put into the bubble afterwards.
    auto* card = new QWidget;
    auto* cardLayout = new QVBoxLayout(card);
    AnimatedPeaView* pea = makeView(meltdown, true).release();
    cardLayout->addWidget(pea);
    layout->addWidget(card);
    bubble.show();
    settle();
    EXPECT_EQ(pea->watchLevel(), WindowWatch::Level::glanced);
    ASSERT_TRUE(pea->isTicking());
    EXPECT_EQ(ticker->interval, AnimatedPeaView::glanceInterval);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&bubble, &enter);
    EXPECT_EQ(ticker->interval, AnimatedPeaView::frameInterval) << "full rate under the pointer";
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&bubble, &leave);
    EXPECT_EQ(ticker->interval, AnimatedPeaView::glanceInterval);

    bubble.hide();
    EXPECT_FALSE(pea->isTicking());
}

TEST_F(AnimatedPeaViewTest, AnOpenPopupIsWatched) {
    QWidget popup(nullptr, Qt::Popup);
    popup.setGeometry(300, 300, 64, 64);
    AnimatedPeaView* pea = makeView(meltdown, true).release();
    pea->setParent(&popup);
    popup.show();
    settle();
    EXPECT_EQ(pea->watchLevel(), WindowWatch::Level::watched);
    EXPECT_EQ(ticker->interval, AnimatedPeaView::frameInterval);
    popup.hide();
    EXPECT_FALSE(pea->isTicking());
}

TEST_F(AnimatedPeaViewTest, AGlancedPeaMovesInStepsThatCatchEveryBlink) {
    QWidget bubble(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    bubble.setGeometry(300, 300, 64, 64);
    AnimatedPeaView* pea = makeView(chill, true).release();
    pea->setParent(&bubble);
    bubble.show();
    settle();
    ASSERT_EQ(pea->watchLevel(), WindowWatch::Level::glanced);
    // Frames come a step apart, at whatever moment within a step the timer fires.
    now = 4.2 * 1000 + 0.17;
    int blinks = 0;
    PeaFace previous = pea->shownFace();
    const int steps =
        static_cast<int>(std::lround(3 * PeaAnimation::blinkPeriod / AnimatedPeaView::glanceInterval));
    for (int frame = 0; frame < steps; ++frame) {
        step(AnimatedPeaView::glanceInterval);
        const PeaFace shown = pea->shownFace();
        EXPECT_NE(shown, previous) << "every step moves";
        blinks += shown.eyes == PeaFace::Eyes::closed ? 1 : 0;
        previous = shown;
    }
    EXPECT_EQ(blinks, 3) << "one blink in every period";
}

TEST_F(AnimatedPeaViewTest, ReducedMotionStopsAWatchedPea) {
    const auto view = makeView(meltdown, true);
    showWatched(*view);
    ASSERT_TRUE(view->isTicking());
    view->setAnimating(false);
    step(0.5);
    EXPECT_FALSE(view->isTicking());
    EXPECT_FALSE(view->isMoving());
    EXPECT_EQ(view->shownFace(), meltdown);
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
    showWatched(*view);
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
