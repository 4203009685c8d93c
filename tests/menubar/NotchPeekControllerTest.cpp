#include "menubar/NotchPeekController.h"

#include "FakeScheduler.h"
#include "QtTestApp.h"
#include "pea/NotchPeekView.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace halvrick {
namespace {

// A 1512-point-wide screen at (100, 50) whose notch sits between the two top areas.
NotchScreen notchedScreen(double safeTop = 32, double gap = 200) {
    NotchScreen screen;
    screen.frame = QRect(100, 50, 1512, 982);
    const double side = (1512 - gap) / 2;
    screen.auxiliaryTopLeftArea = NotchGeometry::Rect{0, 0, side, safeTop};
    screen.auxiliaryTopRightArea = NotchGeometry::Rect{side + gap, 0, side, safeTop};
    screen.safeAreaTop = safeTop;
    return screen;
}

class FakeNotchScreens : public NotchScreenInfo {
public:
    explicit FakeNotchScreens(std::optional<NotchScreen>& screen) : screen_(screen) {}
    std::optional<NotchScreen> trayScreen() const override { return screen_; }

private:
    std::optional<NotchScreen>& screen_;
};

class NotchPeekControllerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    bool show(const QString& message, double duration, bool animate = true) {
        return peek->show(message, PeaFace::heat(HeatState::meltdown), PeaStyle{}, animate, duration,
                          [this] { ++taps; });
    }
    bool panelOnScreen() const { return peek->panel() && peek->panel()->isVisible(); }

    std::optional<NotchScreen> screen = notchedScreen();
    FakeScheduler scheduler;
    std::unique_ptr<NotchPeekController> peek =
        std::make_unique<NotchPeekController>(std::make_unique<FakeNotchScreens>(screen), scheduler);
    int taps = 0;
};

TEST_F(NotchPeekControllerTest, PeekHangsFromTheTopCentreOfTheTrayScreen) {
    ASSERT_TRUE(show(QStringLiteral("Hot in here."), 7));
    ASSERT_TRUE(panelOnScreen());
    const QWidget& panel = *peek->panel();
    EXPECT_EQ(panel.size(), QSize(340, 140));
    EXPECT_EQ(panel.y(), 50);
    EXPECT_EQ(panel.x() + 170, 100 + 756);
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(panel.testAttribute(Qt::WA_ShowWithoutActivating));

    // Drawn hidden first, then it comes in on the next turn.
    ASSERT_NE(peek->state(), nullptr);
    EXPECT_FALSE(peek->state()->visible());
    scheduler.advance(0);
    EXPECT_TRUE(peek->state()->visible());
    EXPECT_EQ(peek->state()->message(), QStringLiteral("Hot in here."));
}

TEST_F(NotchPeekControllerTest, ScreenWithoutAUsableNotchLeavesEverythingAsItWas) {
    const auto without = [](auto change) {
        NotchScreen s = notchedScreen();
        change(s);
        return std::optional(s);
    };
    struct Case {
        const char* name;
        std::optional<NotchScreen> screen;
    };
    const Case cases[] = {
        {"no screen", std::nullopt},
        {"no top-left area", without([](NotchScreen& s) { s.auxiliaryTopLeftArea.reset(); })},
        {"no top-right area", without([](NotchScreen& s) { s.auxiliaryTopRightArea.reset(); })},
        {"no top inset", notchedScreen(0)},
        {"gap too narrow", notchedScreen(32, 39.9)},
        {"gap too wide", notchedScreen(32, 400.1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen = c.screen;
        NotchPeekController fresh(std::make_unique<FakeNotchScreens>(screen), scheduler);
        EXPECT_FALSE(fresh.show(QStringLiteral("x"), PeaFace{}, PeaStyle{}, true, 7, nullptr));
        EXPECT_EQ(fresh.panel(), nullptr);
        EXPECT_EQ(fresh.state(), nullptr);
        EXPECT_EQ(scheduler.pending(), 0U);
    }

    // With a peek on show, it stays as it was, its close still due.
    screen = notchedScreen();
    ASSERT_TRUE(show(QStringLiteral("first"), 7));
    const NotchPeekState* shown = peek->state();
    screen.reset();
    EXPECT_FALSE(show(QStringLiteral("second"), 7));
    EXPECT_EQ(peek->state(), shown);
    EXPECT_EQ(peek->state()->message(), QStringLiteral("first"));
    scheduler.advance(7);
    EXPECT_EQ(peek->state(), nullptr);
}

TEST_F(NotchPeekControllerTest, ThisDesktopHasNoNotch) {
    NotchPeekController system(std::make_unique<SystemNotchScreenInfo>(), scheduler);
    EXPECT_FALSE(system.show(QStringLiteral("x"), PeaFace{}, PeaStyle{}, true, 7, nullptr));
    EXPECT_EQ(system.panel(), nullptr);
}

TEST_F(NotchPeekControllerTest, SecondPeekReplacesTheFirstAndStaysItsOwnDuration) {
    ASSERT_TRUE(show(QStringLiteral("first"), 7));
    scheduler.advance(5);
    ASSERT_TRUE(show(QStringLiteral("second"), 7));
    EXPECT_EQ(peek->state()->message(), QStringLiteral("second"));
    EXPECT_EQ(&peek->view()->state(), peek->state());
    scheduler.advance(6.9);
    EXPECT_NE(peek->state(), nullptr) << "the first one's close was cancelled";
    scheduler.advance(0.1);
    EXPECT_EQ(peek->state(), nullptr);
    EXPECT_TRUE(panelOnScreen()) << "it slides out first";
    scheduler.advance(NotchPeekController::orderOutDelay);
    EXPECT_FALSE(panelOnScreen());
    EXPECT_EQ(peek->view(), nullptr);
}

TEST_F(NotchPeekControllerTest, PeekDuringTheSlideOutKeepsThePanel) {
    ASSERT_TRUE(show(QStringLiteral("first"), 2));
    scheduler.advance(2.1);
    ASSERT_EQ(peek->state(), nullptr);
    ASSERT_TRUE(show(QStringLiteral("second"), 7));
    scheduler.advance(0.3);
    EXPECT_TRUE(panelOnScreen());
    ASSERT_NE(peek->view(), nullptr);
    EXPECT_EQ(peek->view()->state().message(), QStringLiteral("second"));
    EXPECT_TRUE(peek->state()->visible());
}

TEST_F(NotchPeekControllerTest, WithoutMotionItJumpsInAndOutAndStillLeavesOnTime) {
    ASSERT_TRUE(show(QStringLiteral("still"), 7, false));
    scheduler.advance(0);
    EXPECT_EQ(peek->view()->reveal(), 1);
    peek->close();
    EXPECT_EQ(peek->view()->reveal(), 0);
    EXPECT_TRUE(panelOnScreen());
    scheduler.advance(0.3);
    EXPECT_FALSE(panelOnScreen());
}

TEST_F(NotchPeekControllerTest, ClosingTwiceOrWithNothingShownIsHarmless) {
    peek->close();
    EXPECT_EQ(scheduler.pending(), 0U);

    ASSERT_TRUE(show(QStringLiteral("x"), 7));
    scheduler.advance(0);
    peek->close();
    peek->close();
    EXPECT_EQ(scheduler.pending(), 1U) << "one slide-out, no close left";
    scheduler.advance(10);
    EXPECT_FALSE(panelOnScreen());

    // Tasks that wake after the controller is gone do nothing.
    ASSERT_TRUE(show(QStringLiteral("y"), 7));
    peek.reset();
    scheduler.advance(10);
}

TEST_F(NotchPeekControllerTest, AClickAnywhereOnThePeekTaps) {
    ASSERT_TRUE(show(QStringLiteral("tap me"), 7));
    QWidget* view = const_cast<NotchPeekView*>(peek->view());
    for (const QPointF at : {QPointF(5, 5), QPointF(170, 130)}) {
        QMouseEvent release(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &release);
    }
    EXPECT_EQ(taps, 2);
}

} // namespace
} // namespace halvrick
