#include "core/Personality.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(PersonalityTest, VoicesInOrder) {
    struct Row {
        Personality personality;
        const char* raw;
        const char* title;
        const char* blurb;
        bool capsExpressions;
    };
    const Row rows[] = {
        {Personality::mild, "mild", "Mild", "Dry, understated, a little worried.", true},
        {Personality::dramatic, "dramatic", "Dramatic", "Everything is a crisis. Lovingly.", false},
        {Personality::deadpan, "deadpan", "Deadpan", "Flat voice. Sees everything. Impressed by nothing.",
         false},
        {Personality::gremlin, "gremlin", "Gremlin", "Lowercase, feral, extremely online. Loves chaos.",
         false},
    };
    ASSERT_EQ(std::size(rows), allPersonalities.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(r.raw);
        EXPECT_EQ(allPersonalities[i], r.personality);
        EXPECT_EQ(toString(r.personality), r.raw);
        EXPECT_EQ(personalityFromString(r.raw), r.personality);
        EXPECT_EQ(title(r.personality), r.title);
        EXPECT_EQ(blurb(r.personality), r.blurb);
        EXPECT_EQ(capsExpressions(r.personality), r.capsExpressions);
    }
}

TEST(PersonalityTest, OnlyExactCaseNamesDecode) {
    for (const char* raw : {"Gremlin", "MILD", " mild", "mild ", "", "spicy"}) {
        EXPECT_EQ(personalityFromString(raw), std::nullopt) << '"' << raw << '"';
    }
}

} // namespace
} // namespace halvrick
