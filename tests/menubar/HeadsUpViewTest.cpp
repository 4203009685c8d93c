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

namespace halvrick::cardtest {
namespace {

// The pixels of `image` that are clearly coloured: text is drawn in greys, an emoji in colour.
int colourPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.alpha() > 128 && c.hsvSaturation() > 120 && c.value() > 80 ? 1 : 0;
        }
    }
    return count;
}

// Without a colour emoji font the voice lines' emoji draw as empty boxes.
TEST_F(HeadsUpViewTest, AVoiceLineDrawsItsEmojiInColour) {
    auto* card = make(QStringLiteral("Okay, I'm actually hot now, not just busy. Give me some air? \U0001F975"));
    CardHost host(card, 0);
    host.save(QStringLiteral("card-heads-up-emoji.png"));
    const QLabel& message = card->messageLabel();
    QImage text(message.size() * 2, QImage::Format_ARGB32_Premultiplied);
    text.setDevicePixelRatio(2);
    text.fill(Qt::white);
    const_cast<QLabel&>(message).render(&text);
    EXPECT_GT(colourPixels(text), 20);

    auto* plain = make(QStringLiteral("Okay, I'm actually hot now, not just busy. Give me some air?"));
    CardHost plainHost(plain, 0);
    plainHost.layOut();
    QImage plainText(plain->messageLabel().size() * 2, QImage::Format_ARGB32_Premultiplied);
    plainText.setDevicePixelRatio(2);
    plainText.fill(Qt::white);
    const_cast<QLabel&>(plain->messageLabel()).render(&plainText);
    EXPECT_EQ(colourPixels(plainText), 0) << "the text itself is grey";
}

} // namespace
} // namespace halvrick::cardtest
