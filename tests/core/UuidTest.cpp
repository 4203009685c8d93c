#include "core/Uuid.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(UuidTest, TextIsUpperCaseAndReadsBack) {
    const auto id = Uuid::fromString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(id->toString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(Uuid::fromString(id->toString()), id);
    for (const char* bad : {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
                            "E621E1F8-C36C-495A-93FC-0C247A3E6E5G", "E621E1F8+C36C-495A-93FC-0C247A3E6E5F",
                            "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0"}) {
        EXPECT_EQ(Uuid::fromString(bad), std::nullopt) << bad;
    }
}

TEST(UuidTest, RandomIdsAreVersion4FromTheGenerator) {
    std::size_t next = 0;
    const auto counting = [&next](std::size_t n) { return next++ % n; };
    const Uuid a = Uuid::random(counting);
    const Uuid b = Uuid::random(counting);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.toString(), "00010203-0405-4607-8809-0A0B0C0D0E0F");
    const Uuid ones = Uuid::random([](std::size_t n) { return n - 1; });
    EXPECT_EQ(ones.toString(), "FFFFFFFF-FFFF-4FFF-BFFF-FFFFFFFFFFFF");
}

} // namespace
} // namespace halvrick
