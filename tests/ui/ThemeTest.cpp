#include "ui/Theme.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

QPalette palette(QColor window, QColor text) {
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    return p;
}

// What the text colour looks like drawn on the window colour.
QColor drawn(const QColor& text, const QColor& window) {
    QImage image(1, 1, QImage::Format_ARGB32);
    image.fill(window);
    QPainter painter(&image);
    painter.fillRect(0, 0, 1, 1, text);
    painter.end();
    return image.pixelColor(0, 0);
}

class ThemeTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }
    void TearDown() override { Theme::setIncreaseContrast(false); }
};

TEST_F(ThemeTest, WithIncreasedContrastSecondaryTextReadsAtFourAndAHalfToOne) {
    const QPalette palettes[] = {
        palette(QColor(239, 239, 239), Qt::black),
        palette(Qt::white, QColor(30, 30, 30)),
        palette(QColor(49, 54, 59), QColor(239, 240, 241)),
        palette(QColor(30, 30, 30), Qt::white),
    };
    for (const QPalette& p : palettes) {
        const QColor window = p.color(QPalette::Window);
        SCOPED_TRACE(window.name().toStdString());
        Theme::setIncreaseContrast(false);
        const QColor usual = drawn(Theme::text(Theme::Tone::secondary, p), window);
        Theme::setIncreaseContrast(true);
        for (const Theme::Tone tone : {Theme::Tone::secondary, Theme::Tone::tertiary}) {
            const QColor shown = drawn(Theme::text(tone, p), window);
            EXPECT_GE(Theme::contrast(shown, window), Theme::minimumContrast);
        }
        // Still a secondary tone, not the primary text.
        EXPECT_LT(Theme::text(Theme::Tone::secondary, p).alphaF(), 1.0f);
        EXPECT_GE(Theme::contrast(drawn(Theme::text(Theme::Tone::secondary, p), window), window),
                  Theme::contrast(usual, window));
    }
}

TEST_F(ThemeTest, ToneLabelsFollowTheContrastSetting) {
    std::unique_ptr<QLabel> label(Theme::label(nullptr, TextStyle::caption, Theme::Tone::secondary));
    const QColor before = label->palette().color(QPalette::WindowText);
    Theme::setIncreaseContrast(true);
    EXPECT_GT(label->palette().color(QPalette::WindowText).alphaF(), before.alphaF());
    Theme::setIncreaseContrast(false);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), before);
}

TEST_F(ThemeTest, ContrastRatios) {
    EXPECT_NEAR(Theme::contrast(Qt::black, Qt::white), 21, 1e-9);
    EXPECT_NEAR(Theme::contrast(Qt::white, Qt::white), 1, 1e-9);
    EXPECT_NEAR(Theme::contrast(QColor(118, 118, 118), Qt::white), 4.54, 0.01);
}

} // namespace
} // namespace halvrick
