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
    {std::string("nul\0cut", 7), "nul\xEF\xBF\xBD" "cut", "nul\\x00cut"},
    {"<a href=\"https://x.test\">x</a>", "<a href=\"https://x.test\">x</a>", "<a href=\"https://x.test\">x</a>"},
    // Zero-width spaces hide one name inside another; a joiner only binds an emoji family together.
    {"pay\xE2\x80\x8Bpal", "paypal", "pay\xE2\x80\x8Bpal"},
    {"\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7", "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7",
     "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"},
};

TEST(DisplayTextTest, HostileNamesAreShownAndLoggedHarmlessly) {
    for (const Case& c : hostileNames) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DisplayText::neutralised(c.name), c.shown);
        EXPECT_EQ(DisplayText::escapedForLog(c.name), c.logged);
        EXPECT_EQ(DisplayText::escapedForLog(c.name).find('\n'), std::string::npos);
    }
}

TEST(DisplayTextTest, LongTextsAreCutWhereACharacterEnds) {
    struct Cut {
        const char* what;
        std::string text;
        std::size_t longest;
        std::string shown;
    };
    const std::string family = "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"; // woman, joiner, girl
    const std::string flag = "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";               // two regional letters
    std::string drowning;
    for (int i = 0; i < 20; ++i) {
        drowning += "\xCC\x81";
    }
    const std::vector<Cut> cuts = {
        {"short enough", "Stand up", 8, "Stand up"},
        {"one over", "Stand up!", 8, "Stand u…"},
        {"no space before the ellipsis", "Drink some water", 7, "Drink…"},
        {"four-byte character kept whole", "ab\xF0\x9F\x98\x8C\xF0\x9F\x98\x8Cz", 4, "ab\xF0\x9F\x98\x8C…"},
        {"accent stays on its letter", "cafe\xCC\x81s", 5, "caf…"},
        {"emoji family not split at its joiner", "ok " + family + family, 5, "ok…"},
        {"flag kept whole", "go" + flag + flag, 5, "go" + flag + "…"},
        {"flag not split", "go" + flag + flag, 4, "go…"},
        {"one letter drowned in marks is cut through", "a" + drowning, 3, "a\xCC\x81…"},
        {"a character cut off at the end is dropped", "ab\xF0\x9F\x98", 8, "ab"},
    };
    for (const Cut& c : cuts) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DisplayText::shortened(c.text, c.longest), c.shown);
    }
}

TEST(DisplayTextTest, AHundredThousandCharacterReminderIsShownNeutralisedAndCut) {
    std::string text = "\xE2\x80\xAE";
    for (int i = 0; i < 100000; ++i) {
        text += i % 7 == 0 ? "\xC3\xA9" : "x";
    }
    const std::string shown = DisplayText::neutralised(text, DisplayText::longestText);
    EXPECT_EQ(shown.find("\xE2\x80\xAE"), std::string::npos);
    EXPECT_TRUE(shown.ends_with("…"));
    std::size_t characters = 0;
    for (const char byte : shown) {
        characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }
    EXPECT_EQ(characters, DisplayText::longestText);
}

} // namespace
} // namespace halvrick
