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

} // namespace
} // namespace halvrick
