#include "artwork/IconTheme.h"

#include "QtTestApp.h"
#include "artwork/AppIconView.h"
#include "core/Error.h"
#include "ui/PngExport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

QImage renderSvg(QSvgRenderer& svg, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter, QRectF(0, 0, side, side));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(IconThemeTest, WritesEveryThemePngAtItsPixelsAndTheScalableIcon) {
    ASSERT_TRUE(qtTestAppReady());
    QTemporaryDir themes;
    const QStringList written = IconTheme::write(themes.path());
    ASSERT_EQ(written.size(), 2 * static_cast<qsizetype>(IconTheme::sizes.size()) + 1);
    struct Case {
        const char* path;
        int pixels;
    };
    for (const Case& c :
         {Case{"hicolor/16x16/apps/halvrick.png", 16}, Case{"hicolor/22x22/apps/halvrick.png", 22},
          Case{"hicolor/24x24@2/apps/halvrick.png", 48}, Case{"hicolor/48x48/apps/halvrick.png", 48},
          Case{"hicolor/64x64/apps/halvrick.png", 64}, Case{"hicolor/512x512@2/apps/halvrick.png", 1024}}) {
        SCOPED_TRACE(c.path);
        const QString path = QDir(themes.path()).filePath(QString::fromLatin1(c.path));
        EXPECT_TRUE(written.contains(path));
        const QImage icon(path);
        EXPECT_EQ(icon.size(), QSize(c.pixels, c.pixels));
        // A transparent margin around an opaque tile, as every size of the app icon has.
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(c.pixels / 2, c.pixels / 2)), 255);
    }
    QSvgRenderer svg(QDir(themes.path()).filePath(QStringLiteral("hicolor/scalable/apps/halvrick.svg")));
    EXPECT_TRUE(svg.isValid());
}

TEST(IconThemeTest, AFolderThatCannotBeMadeStopsTheExport) {
    ASSERT_TRUE(qtTestAppReady());
    QTemporaryDir themes;
    QFile blocker(QDir(themes.path()).filePath(QStringLiteral("hicolor")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(IconTheme::write(themes.path()), Error);
}

// The vector icon must look like the drawn one: a shape the SVG cannot express (a clip, a gradient, a
// composition) would silently fall away in it.
TEST(IconThemeTest, ScalableIconLooksLikeTheDrawnIcon) {
    ASSERT_TRUE(qtTestAppReady());
    QSvgRenderer svg(IconTheme::scalableSvg());
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBoxF(), QRectF(0, 0, IconTheme::scalableSide, IconTheme::scalableSide));
    for (const int side : {IconTheme::scalableSide, 512}) {
        SCOPED_TRACE(side);
        const QImage fromSvg = renderSvg(svg, side);
        const QImage drawn =
            PngExport::render(AppIcon::paint, svg.viewBoxF().size(), side / svg.viewBoxF().width())
                .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(drawn.size(), fromSvg.size());
        long long difference = 0;
        int worst = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const QRgb a = fromSvg.pixel(x, y);
                const QRgb b = drawn.pixel(x, y);
                const int d = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
                difference += d;
                worst = std::max(worst, d);
            }
        }
        // Antialiasing and the shadow's embedded pixels differ a little; a shape drawn outside its clip
        // differs by far more, over hundreds of pixels.
        EXPECT_LT(static_cast<double>(difference) / (side * side), 1.0);
        EXPECT_LT(worst, 128);
    }
}

// Symbolic icons are recoloured by the desktop, so they must hold one colour, with the face cut out.
TEST(IconThemeTest, SymbolicIconIsOneColourWithTheFaceCutOut) {
    ASSERT_TRUE(qtTestAppReady());
    QSvgRenderer svg(QStringLiteral(HALVRICK_SYMBOLIC_ICON));
    ASSERT_TRUE(svg.isValid());
    const QImage icon = renderSvg(svg, 64);
    QRgb colour = 0;
    int opaque = 0;
    int mostRuns = 0;
    for (int y = 0; y < icon.height(); ++y) {
        int runs = 0;
        bool inside = false;
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                if (opaque++ == 0) {
                    colour = pixel;
                }
                EXPECT_EQ(pixel, colour) << x << ", " << y;
            }
            const bool nowInside = qAlpha(pixel) >= 128;
            runs += nowInside && !inside;
            inside = nowInside;
        }
        mostRuns = std::max(mostRuns, runs);
    }
    EXPECT_GT(opaque, 64 * 64 / 4);
    EXPECT_GE(mostRuns, 3) << "a row across the eyes crosses body, eye, body, eye, body";
}

} // namespace
} // namespace halvrick
