#include "QtTestApp.h"
#include "core/FaceState.h"
#include "pea/PeaRenderer.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

// Every mood in every style and both details on one sheet, for people to look at. Written next to the
// test program (or to HALVRICK_CONTACT_SHEET); it is never compared with anything.
TEST(PeaContactSheetTest, WritesEveryMoodInEveryStyle) {
    ASSERT_TRUE(qtTestAppReady());
    const int cell = 132;
    const int icon = 64;
    const int label = 120;
    const std::array<PeaStyle, 3> styles{PeaStyle{}, PeaStyle{false, true}, PeaStyle{true, false}};
    const int width = label + 3 * cell + 3 * (icon + 12) + 3 * (22 + 12);
    QImage sheet(width, cell * static_cast<int>(allFaceStates.size()), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(236, 236, 236));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    int y = 0;
    for (const FaceState mood : allFaceStates) {
        const PeaFace face = halvrick::face(mood, HeatState::sweating);
        p.setPen(Qt::black);
        p.drawText(QRect(6, y, label - 6, cell), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromUtf8(toString(mood).data(), static_cast<int>(toString(mood).size())));
        int x = label;
        for (const PeaStyle& style : styles) {
            p.fillRect(QRect(x + 2, y + 2, cell - 4, cell - 4), Qt::white);
            p.save();
            p.translate(x + 2, y + 2);
            PeaRenderer::draw(face, PeaFace::Detail::full, style, p, QSizeF(cell - 4, cell - 4));
            p.restore();
            x += cell;
        }
        // Tray icons pixel for pixel: 22 points at the largest and the smallest icon size.
        for (const int pixels : {icon, 22}) {
            for (const PeaStyle& style : styles) {
                QImage frame =
                    PeaRenderer::image(face, PeaFace::Detail::menuBar, style, QSizeF(22, 22), pixels / 22.0);
                frame.setDevicePixelRatio(1);
                p.drawImage(QPoint(x + 6, y + (cell - pixels) / 2), frame);
                x += pixels + 12;
            }
        }
        y += cell;
    }
    p.end();
    const QString target = qEnvironmentVariableIsSet("HALVRICK_CONTACT_SHEET")
                               ? qEnvironmentVariable("HALVRICK_CONTACT_SHEET")
                               : QCoreApplication::applicationDirPath() + "/pea-contact-sheet.png";
    EXPECT_TRUE(sheet.save(target, "PNG")) << target.toStdString();
}

} // namespace
} // namespace halvrick
