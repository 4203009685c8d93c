#include "menubar/HeadsUpView.h"

#include "CardTestSupport.h"
#include "core/FaceState.h"
#include "pea/AnimatedPeaView.h"

namespace halvrick::cardtest {
namespace {

class HeadsUpViewTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    HeadsUpView* make(const QString& message, bool animate = true) {
        return new HeadsUpView(message, face(FaceState::blaming, HeatState::sweating), PeaStyle{}, animate,
                               [this] { ++taps; });
    }

    int taps = 0;
};

TEST_F(HeadsUpViewTest, LongMessagesWrapAndTheCardGrowsInHeightOnly) {
    auto* shortCard = make(QStringLiteral("Browser is making me sweat."));
    CardHost shortHost(shortCard, 0);
    shortHost.save(QStringLiteral("card-heads-up.png"));
    auto* longCard = make(QStringLiteral(
        "Browser, Compiler and a process called something-with-a-very-long-name are all making me sweat at "
        "once, and the fan has started to sound like a small aeroplane getting ready for take-off."));
    CardHost longHost(longCard, 0);
    longHost.save(QStringLiteral("card-heads-up-long.png"));

    EXPECT_EQ(shortCard->width(), HeadsUpView::cardWidth);
    EXPECT_EQ(longCard->width(), HeadsUpView::cardWidth);
    EXPECT_GT(longCard->height(), shortCard->height() + 2 * longCard->messageLabel().fontMetrics().height());
    expectFits(shortCard->messageLabel());
    expectFits(longCard->messageLabel());
    EXPECT_EQ(longCard->pea().size(), QSize(HeadsUpView::peaSide, HeadsUpView::peaSide));
}

TEST_F(HeadsUpViewTest, AClickAnywhereOnTheCardTaps) {
    auto* card = make(QStringLiteral("Short."));
    CardHost host(card, 0);
    host.layOut();
    const QRect pea = card->pea().geometry();
    struct Case {
        const char* name;
        QPoint point;
    };
    for (const Case c :
         {Case{"top-left padding", {2, 2}},
          Case{"bottom-right padding", {card->width() - 2, card->height() - 2}},
          Case{"the pea", pea.center()},
          Case{"the text", card->messageLabel().geometry().topLeft() + QPoint(3, 3)},
          Case{"blank beside the text", {card->width() - HeadsUpView::padding - 4, card->height() / 2}}}) {
        SCOPED_TRACE(c.name);
        const int before = taps;
        click(*card, c.point);
        EXPECT_EQ(taps, before + 1);
    }
    click(*card, {2, 2}, Qt::RightButton);
    EXPECT_EQ(taps, 5) << "only the primary button taps";
}

TEST_F(HeadsUpViewTest, WithoutAnimationThePeaIsStillDrawnButHoldsStill) {
    auto* card = make(QStringLiteral("Cooling down."), false);
    CardHost host(card, 0);
    const QImage image = host.save(QStringLiteral("card-heads-up-still.png"));
    EXPECT_FALSE(card->pea().isAnimating());
    EXPECT_EQ(card->pea().shownFace(), face(FaceState::blaming, HeatState::sweating));
    const QRect pea(card->pea().mapTo(card->window(), QPoint(0, 0)), card->pea().size());
    EXPECT_TRUE(drawsIn(image, pea, host.window().palette().color(QPalette::Window)));
}

} // namespace
} // namespace halvrick::cardtest
