#include "menubar/TrayIconComposer.h"

#include "PeaPixels.h"
#include "QtTestApp.h"
#include "core/PeaAnimation.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace halvrick {
namespace {

const PeaStyle colour{};
const PeaStyle highContrast{false, true};
const PeaStyle monochrome{true, false};

QImage imageOf(const QIcon& icon, int pixels) {
    return icon.pixmap(QSize(pixels, pixels), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

// A rectangle of the 22-point square in the pixels of one icon size, grown by `margin` pixels for the
// anti-aliased edge.
QRect inPixels(const QRectF& points, int pixels, int margin = 0) {
    const double k = pixels / MenuBarIcons::pointSize;
    const QRectF scaled(points.topLeft() * k, points.size() * k);
    return scaled.toAlignedRect().adjusted(-margin, -margin, margin, margin);
}

class TrayIconComposerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    QIcon one(const PeaFace& face, MenuBarDisplay display, double load, const PeaStyle& style,
              const QColor& tint = Qt::black) {
        const std::vector<QIcon> icons = composer.frames({face}, display, load, style, tint);
        EXPECT_EQ(icons.size(), 1u);
        return icons.empty() ? QIcon() : icons.front();
    }

    MenuBarIcons icons;
    TrayIconComposer composer{icons};
};

TEST(TrayIconComposerTextTest, CpuTitleRoundsHalvesAwayFromZero) {
    const std::vector<std::pair<double, const char*>> cases{
        {0, "0%"},
        {47.4, "47%"},
        {47.5, "48%"},
        {99.5, "100%"},
        {100, "100%"},
        {0.49, "0%"},
        {-3, "0%"},
        {140, "100%"},
        {std::numeric_limits<double>::quiet_NaN(), "0%"},
        {std::numeric_limits<double>::infinity(), "100%"}};
    for (const auto& [load, title] : cases) {
        EXPECT_EQ(TrayIconComposer::cpuTitle(load), QString::fromLatin1(title)) << load;
    }
}

TEST(TrayIconComposerTextTest, TheToolTipNamesTheHeatStateAndTheFigureTheIconCannotSpellOut) {
    EXPECT_EQ(TrayIconComposer::toolTip(HeatState::sweating, MenuBarDisplay::face, 47.5),
              "Halvrick: Sweating");
    EXPECT_EQ(TrayIconComposer::toolTip(HeatState::sweating, MenuBarDisplay::faceAndCPU, 47.5),
              "Halvrick: Sweating, CPU 48%");
    EXPECT_EQ(TrayIconComposer::toolTip(HeatState::chill, MenuBarDisplay::cpu, 0), "Halvrick: Chill, CPU 0%");
    EXPECT_EQ(TrayIconComposer::toolTip(HeatState::warm, MenuBarDisplay::face, 0), "Halvrick: Warm");
    EXPECT_EQ(TrayIconComposer::toolTip(HeatState::meltdown, MenuBarDisplay::face, 0), "Halvrick: Meltdown");
}

TEST(TrayIconComposerTextTest, GnomeGetsWhiteAndOtherDesktopsThePaletteText) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::WindowText, QColor(10, 20, 30));
    EXPECT_EQ(TrayIconComposer::trayTint(palette, "GNOME"), QColor(Qt::white));
    EXPECT_EQ(TrayIconComposer::trayTint(palette, "ubuntu:GNOME"), QColor(Qt::white));
    EXPECT_EQ(TrayIconComposer::trayTint(palette, "gnome-flashback:GNOME"), QColor(Qt::white));
    EXPECT_EQ(TrayIconComposer::trayTint(palette, "KDE"), QColor(10, 20, 30));
    EXPECT_EQ(TrayIconComposer::trayTint(palette, "XFCE"), QColor(10, 20, 30));
    EXPECT_EQ(TrayIconComposer::trayTint(palette, ""), QColor(10, 20, 30));
}

TEST_F(TrayIconComposerTest, EveryModeHoldsEveryTraySizeNatively) {
    QList<QSize> sizes;
    for (const int pixels : MenuBarIcons::pixelSizes) {
        sizes.append(QSize(pixels, pixels));
    }
    for (const MenuBarDisplay display : allMenuBarDisplays) {
        for (const PeaStyle& style : {colour, monochrome}) {
            const QIcon icon = one(PeaFace::heat(HeatState::warm), display, 48, style);
            EXPECT_EQ(icon.availableSizes(), sizes) << static_cast<int>(display);
            for (const int pixels : MenuBarIcons::pixelSizes) {
                EXPECT_EQ(icon.pixmap(QSize(pixels, pixels), 1.0).size(), QSize(pixels, pixels));
            }
        }
    }
}

TEST_F(TrayIconComposerTest, TheFaceModeIsTheCachedFrameItself) {
    const PeaFace face = PeaFace::heat(HeatState::sweating);
    EXPECT_EQ(one(face, MenuBarDisplay::face, 48, colour).cacheKey(),
              icons.frame(face, colour).icon.cacheKey());
}

// Beside the badge the pea is drawn smaller at the top: every pixel away from the badge is the pea's own
// (at 32 and 64 pixels the 22- and 44-pixel frames as they are), and the badge is opaque.
TEST_F(TrayIconComposerTest, TheBadgeIsOpaqueInItsCornerAndLeavesTheSmallerPeaAlone) {
    const PeaFace face = PeaFace::heat(HeatState::warm);
    const std::vector<std::pair<PeaStyle, QColor>> looks{
        {colour, Qt::black}, {highContrast, Qt::black}, {monochrome, Qt::black}, {monochrome, Qt::white}};
    // Icon size and the index of the frame render the pea is drawn from unscaled.
    const std::vector<std::pair<std::size_t, std::size_t>> exact{{1, 0}, {3, 2}};
    for (const auto& [style, tint] : looks) {
        for (const int percent : {7, 48, 100}) {
            const QIcon badged = one(face, MenuBarDisplay::faceAndCPU, percent, style, tint);
            const MenuBarIcons::Frame plain = icons.frame(face, style, tint);
            for (std::size_t i = 0; i < MenuBarIcons::pixelSizes.size(); ++i) {
                const int pixels = MenuBarIcons::pixelSizes[i];
                SCOPED_TRACE(::testing::Message()
                             << "style " << style.monochrome << style.highContrast << " tint "
                             << tint.name().toStdString() << " " << percent << "% at " << pixels << " px");
                const QImage image = imageOf(badged, pixels);
                const QRectF badge = TrayIconComposer::badgeRect(percent);
                const QRect touched = inPixels(badge.adjusted(-1, -1, 1, 1), pixels, 1);
                const QRect inside = inPixels(badge, pixels);
                const auto source = std::find_if(exact.begin(), exact.end(), [i](auto e) { return e.first == i; });
                const QImage pea = source == exact.end()
                                       ? QImage()
                                       : plain.images[source->second].convertToFormat(QImage::Format_ARGB32);
                const QPoint offset = inPixels(TrayIconComposer::badgedPeaRect(), pixels).topLeft();
                int opaque = 0;
                for (int y = 0; y < pixels; ++y) {
                    for (int x = 0; x < pixels; ++x) {
                        const QPoint p(x, y);
                        if (touched.contains(p)) {
                            opaque += inside.contains(p) && image.pixelColor(p).alpha() >= 128;
                        } else if (!pea.isNull()) {
                            const QPoint q = p - offset;
                            const QRgb expected = pea.rect().contains(q) ? pea.pixel(q) : qRgba(0, 0, 0, 0);
                            ASSERT_EQ(image.pixel(p), expected) << x << "," << y;
                        }
                    }
                }
                // A pill is its rectangle less the rounded ends; monochrome digits are holes.
                const double share = static_cast<double>(opaque) / (inside.width() * inside.height());
                EXPECT_GT(share, style.monochrome ? 0.3 : 0.6);
            }
        }
    }
}

// Even a three-digit figure leaves the face clear: at every figure the badge and its ring stay below the
// pea's eyes and mouth (the upper three quarters of its square), and its digits still read at 22 pixels.
TEST_F(TrayIconComposerTest, AtEveryFigureTheFaceStaysClearOfTheBadgeAndTheDigitsStayReadable) {
    const QRectF pea = TrayIconComposer::badgedPeaRect();
    const double faceBottom = pea.top() + 0.75 * pea.height();
    for (int percent = 0; percent <= 100; ++percent) {
        const QRectF badge = TrayIconComposer::badgeRect(percent);
        EXPECT_GE(badge.top() - 1, faceBottom) << percent;
        EXPECT_GE(badge.left(), 0) << percent;
    }
    // Read at 22 pixels: the white digits of "100" span at least 7 rows inside the badge.
    const QImage image = imageOf(one(PeaFace::heat(HeatState::meltdown), MenuBarDisplay::faceAndCPU, 100, colour), 22);
    const QRect inside = inPixels(TrayIconComposer::badgeRect(100), 22);
    int top = 22, bottom = -1;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && c.lightness() > 160) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_GE(bottom - top + 1, 6);
}

TEST_F(TrayIconComposerTest, BadgeDigitsShowAsWhiteOnColourAndAsHolesInMonochrome) {
    const PeaFace face = PeaFace::heat(HeatState::sweating);
    const int pixels = 64;
    const QRect inside = inPixels(TrayIconComposer::badgeRect(48), pixels).adjusted(2, 2, -2, -2);
    const auto count = [&](const QImage& image, auto&& test) {
        int n = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                n += test(image.pixelColor(x, y)) ? 1 : 0;
            }
        }
        return n;
    };
    const QImage coloured = imageOf(one(face, MenuBarDisplay::faceAndCPU, 48, colour), pixels);
    EXPECT_GT(count(coloured, [](const QColor& c) { return c.alpha() == 255 && c.lightness() > 230; }), 10);
    EXPECT_GT(count(coloured, [](const QColor& c) { return c.alpha() == 255 && c.lightness() < 40; }), 10);

    const QImage tinted = imageOf(one(face, MenuBarDisplay::faceAndCPU, 48, monochrome, Qt::white), pixels);
    EXPECT_GT(count(tinted, [](const QColor& c) { return c.alpha() == 0; }), 10);
    for (int y = 0; y < pixels; ++y) {
        for (int x = 0; x < pixels; ++x) {
            const QColor c = tinted.pixelColor(x, y);
            if (c.alpha() == 255) {
                ASSERT_EQ(c, QColor(Qt::white)) << x << "," << y << ": one colour, the tint";
            }
        }
    }
}

TEST_F(TrayIconComposerTest, AClearRingKeepsTheBadgeApartFromThePea) {
    const PeaFace face = PeaFace::heat(HeatState::chill);
    const int pixels = 64;
    const double k = pixels / MenuBarIcons::pointSize;
    const QRectF badge = TrayIconComposer::badgeRect(7);
    // Half a point left of the badge, level with its middle.
    const QPoint ring(static_cast<int>((badge.left() - 0.5) * k), static_cast<int>(badge.center().y() * k));
    ASSERT_EQ(icons.frame(face, colour).images.back().pixelColor(ring).alpha(), 255) << "the pea is there";
    EXPECT_EQ(imageOf(one(face, MenuBarDisplay::faceAndCPU, 7, colour), pixels).pixelColor(ring).alpha(), 0);
}

TEST_F(TrayIconComposerTest, DigitsAloneAreTintedAndStayInTheirBox) {
    for (const int percent : {0, 7, 48, 100}) {
        for (const int pixels : MenuBarIcons::pixelSizes) {
            SCOPED_TRACE(::testing::Message() << percent << "% at " << pixels << " px");
            const QImage image = imageOf(one(PeaFace::heat(HeatState::meltdown), MenuBarDisplay::cpu, percent,
                                             colour, QColor(200, 30, 30)),
                                         pixels);
            const QRect box = inPixels(TrayIconComposer::digitsRect(percent), pixels, 1);
            int inked = 0;
            for (int y = 0; y < pixels; ++y) {
                for (int x = 0; x < pixels; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (!box.contains(QPoint(x, y))) {
                        ASSERT_EQ(c.alpha(), 0) << x << "," << y;
                    } else if (c.alpha() == 255) {
                        ++inked;
                        ASSERT_EQ(c, QColor(200, 30, 30));
                    }
                }
            }
            EXPECT_GT(inked, pixels * pixels / 40);
        }
    }
}

TEST_F(TrayIconComposerTest, FiguresFitTheSquareAtEveryLoad) {
    const QRectF square(0, 0, MenuBarIcons::pointSize, MenuBarIcons::pointSize);
    for (int percent = 0; percent <= 100; ++percent) {
        const QRectF badge = TrayIconComposer::badgeRect(percent);
        EXPECT_TRUE(square.contains(badge)) << percent;
        EXPECT_DOUBLE_EQ(badge.right(), square.right()) << percent;
        EXPECT_DOUBLE_EQ(badge.bottom(), square.bottom()) << percent;
        EXPECT_LE(badge.height(), square.height() / 2) << percent;
        EXPECT_GE(badge.width(), badge.height()) << percent;

        const QRectF digits = TrayIconComposer::digitsRect(percent);
        EXPECT_TRUE(square.adjusted(0.9, 0.9, -0.9, -0.9).contains(digits)) << percent;
        EXPECT_GE(digits.height(), 6) << percent << ": still legible";
    }
}

TEST_F(TrayIconComposerTest, IconsAreReusedUntilTheRoundedFigureChanges) {
    const std::vector<PeaFace> loop = PeaAnimation::menuBarFrames(HeatState::warm);
    const auto keys = [&](MenuBarDisplay display, double load, const PeaStyle& style) {
        std::vector<qint64> out;
        for (const QIcon& icon : composer.frames(loop, display, load, style, Qt::black)) {
            out.push_back(icon.cacheKey());
        }
        return out;
    };
    const auto badged = keys(MenuBarDisplay::faceAndCPU, 47.6, colour);
    EXPECT_EQ(badged.size(), loop.size());
    EXPECT_EQ(keys(MenuBarDisplay::faceAndCPU, 48.4, colour), badged) << "the same figure";
    const auto next = keys(MenuBarDisplay::faceAndCPU, 49, colour);
    EXPECT_NE(next.front(), badged.front());
    EXPECT_NE(keys(MenuBarDisplay::faceAndCPU, 49, monochrome).front(), next.front());

    // Identical faces of a loop share one icon, badged or not, so the animator can skip them.
    const auto plain = keys(MenuBarDisplay::face, 12, colour);
    EXPECT_EQ(keys(MenuBarDisplay::face, 90, colour), plain) << "no figure in the face mode";
    const std::set<qint64> distinctPlain(plain.begin(), plain.end());
    EXPECT_LT(distinctPlain.size(), plain.size());
    const auto again = keys(MenuBarDisplay::faceAndCPU, 49, colour);
    EXPECT_EQ(std::set<qint64>(again.begin(), again.end()).size(), distinctPlain.size());
    for (std::size_t i = 1; i < loop.size(); ++i) {
        EXPECT_EQ(plain[i] == plain[i - 1], again[i] == again[i - 1]) << i;
    }

    const auto digits = keys(MenuBarDisplay::cpu, 30.2, colour);
    ASSERT_EQ(digits.size(), 1u) << "one still icon of digits";
    EXPECT_EQ(keys(MenuBarDisplay::cpu, 29.9, colour), digits);
    EXPECT_NE(keys(MenuBarDisplay::cpu, 31, colour), digits);
}

TEST_F(TrayIconComposerTest, ComposingNeverDrawsIntoTheSharedFrame) {
    const PeaFace face = PeaFace::heat(HeatState::meltdown);
    const MenuBarIcons::Frame frame = icons.frame(face, monochrome, Qt::white);
    const QImage before = frame.images.back().copy();
    const QImage iconBefore = imageOf(frame.icon, 64);
    one(face, MenuBarDisplay::faceAndCPU, 100, monochrome, Qt::white);
    EXPECT_EQ(icons.frame(face, monochrome, Qt::white).images.back(), before);
    EXPECT_EQ(imageOf(icons.frame(face, monochrome, Qt::white).icon, 64), iconBefore);
}

// Every display mode on a light and a dark tray at the smallest and largest size, for people to look at.
// Written next to the test program; never compared with anything.
TEST_F(TrayIconComposerTest, WritesASheetOfEveryMode) {
    struct Row {
        MenuBarDisplay display;
        PeaStyle style;
        QColor tint;
        QColor tray;
    };
    const QColor light(236, 236, 236);
    const QColor dark(40, 40, 44);
    std::vector<Row> rows;
    for (const MenuBarDisplay display : allMenuBarDisplays) {
        rows.push_back({display, colour, Qt::black, light});
        rows.push_back({display, colour, Qt::white, dark});
        rows.push_back({display, highContrast, Qt::black, light});
        rows.push_back({display, monochrome, Qt::black, light});
        rows.push_back({display, monochrome, Qt::white, dark});
    }
    const std::vector<std::pair<HeatState, int>> columns{
        {HeatState::chill, 3}, {HeatState::warm, 48}, {HeatState::sweating, 77}, {HeatState::meltdown, 100}};
    // 22 px icons are shown three times enlarged too, pixel for pixel.
    const int cell = 74;
    QImage sheet(static_cast<int>(columns.size()) * 3 * cell, static_cast<int>(rows.size()) * cell,
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const auto [state, percent] = columns[c];
            const QIcon icon =
                composer.frames(PeaAnimation::menuBarFrames(state), row.display, percent, row.style, row.tint)
                    .front();
            const int x = static_cast<int>(c) * 3 * cell;
            const int y = static_cast<int>(r) * cell;
            painter.fillRect(QRect(x + 2, y + 2, 3 * cell - 4, cell - 4), row.tray);
            painter.drawImage(QPoint(x + 5, y + 5), imageOf(icon, 64));
            painter.drawImage(QPoint(x + cell + 5, y + (cell - 22) / 2), imageOf(icon, 22));
            painter.drawImage(QRect(x + 2 * cell - 22, y + 4, 66, 66), imageOf(icon, 22));
        }
    }
    painter.end();
    const QString target = QCoreApplication::applicationDirPath() + "/tray-icon-sheet.png";
    EXPECT_TRUE(sheet.save(target, "PNG")) << target.toStdString();
}

} // namespace
} // namespace halvrick
