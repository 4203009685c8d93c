#include "ui/PlainText.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(PlainTextTest, ControlsShowAsReplacementsAndFormatCharactersVanish) {
    struct Case {
        QString raw;
        QString shown;
    };
    for (const Case& c :
         {Case{"Firefox", "Firefox"}, Case{QString::fromUtf8("Café ✓"), QString::fromUtf8("Café ✓")},
          Case{"a\nb\tc", QString::fromUtf8("a\uFFFDb\uFFFDc")},
          Case{QString::fromUtf8("evil\u202Etxt.exe"), "eviltxt.exe"},
          Case{QString::fromUtf8("\u2066x\u2069\u200B\u200Fy"), "xy"}, Case{"", ""}}) {
        EXPECT_EQ(PlainText::shown(c.raw), c.shown) << c.raw.toStdString();
    }
    EXPECT_EQ(PlainText::shown(std::string("bell\a")), QString::fromUtf8("bell\uFFFD"));
}

TEST(PlainTextTest, LongTextsAreCutForTheirSurfaceWithoutSplittingACharacter) {
    const std::string endless(100000, 'x');
    EXPECT_EQ(PlainText::shown(endless), QString(499, QLatin1Char('x')) + QStringLiteral("…"));
    EXPECT_EQ(PlainText::name(endless), QString(59, QLatin1Char('x')) + QStringLiteral("…"));
    // The title's own ampersand is doubled, not counted.
    EXPECT_EQ(PlainText::buttonTitle("R&D " + endless), "R&&D " + QString(55, QLatin1Char('x')) + "…");

    // Characters outside the first plane take two UTF-16 units: the cut falls between characters.
    QString faces;
    for (int i = 0; i < 1000; ++i) {
        faces += QStringLiteral("\U0001F60C");
    }
    const QString shown = PlainText::shown(faces);
    EXPECT_TRUE(shown.isValidUtf16());
    EXPECT_EQ(shown, faces.left(998) + QStringLiteral("…"));
}

} // namespace
} // namespace halvrick
