#include "core/DisplayText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace halvrick {
namespace {

struct Case {
    std::string name;
    std::string shown;
    std::string logged;
};

// Names a process can give itself, as a row shows them and as a log line writes them.
const std::vector<Case> hostileNames = {
    {"XTerm", "XTerm", "XTerm"},
    {"<b>bold", "<b>bold", "<b>bold"},
    {"two\nlines", "two\xEF\xBF\xBDlines", "two\\nlines"},
    {"cr\r[09:00:00.0] REST: forged", "cr\xEF\xBF\xBD[09:00:00.0] REST: forged", "cr\\r[09:00:00.0] REST: forged"},
    {"tab\there", "tab\xEF\xBF\xBDhere", "tab\\there"},
    {"esc\x1B[31mred", "esc\xEF\xBF\xBD[31mred", "esc\\x1B[31mred"},
    {"del\x7F", "del\xEF\xBF\xBD", "del\\x7F"},
    {"c1\xC2\x85next", "c1\xEF\xBF\xBDnext", "c1\\u{0085}next"},
    {"line\xE2\x80\xA8sep", "line\xEF\xBF\xBDsep", "line\\u{2028}sep"},
    // Right-to-left override: would turn "evil txt.exe" around.
    {"\xE2\x80\xAE" "exe.txt", "exe.txt", "\\u{202E}exe.txt"},
    {"a\xE2\x81\xA6" "b\xE2\x81\xA9" "c\xE2\x80\x8F", "abc", "a\\u{2066}b\\u{2069}c\\u{200F}"},
    {"back\\slash", "back\\slash", "back\\\\slash"},
    {"Déjà Dup 😌", "Déjà Dup 😌", "Déjà Dup 😌"},
    {"\xFF" "bad", "\xEF\xBF\xBD" "bad", "\xEF\xBF\xBD" "bad"},
};

TEST(DisplayTextTest, HostileNamesAreShownAndLoggedHarmlessly) {
    for (const Case& c : hostileNames) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DisplayText::neutralised(c.name), c.shown);
        EXPECT_EQ(DisplayText::escapedForLog(c.name), c.logged);
        EXPECT_EQ(DisplayText::escapedForLog(c.name).find('\n'), std::string::npos);
    }
}

} // namespace
} // namespace halvrick
