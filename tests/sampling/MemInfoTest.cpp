#include "sampling/MemInfo.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(MemInfoTest, FiguresBecomeBytes) {
    const auto info = MemInfo::parse("MemTotal:  1000 kB\nMemAvailable:   250 kB\nHugePages_Total:    7\n"
                                     "Buffers: 10 kB\nCached: 100 kB\nSReclaimable: 20 kB\nShmem: 30 kB\n"
                                     "SwapTotal: 400 kB\nSwapFree: 100 kB\n");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->total(), 1000u * 1024);
    EXPECT_EQ(info->used(), 750u * 1024);
    EXPECT_EQ(info->cached(), 100u * 1024);
    EXPECT_EQ(info->swapUsed(), 300u * 1024);
    EXPECT_EQ(info->field("HugePages_Total"), 7u);
    EXPECT_EQ(info->field("Dirty"), std::nullopt);
}

TEST(MemInfoTest, OldKernelsWithoutMemAvailable) {
    const auto info = MemInfo::parse("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 10 kB\nCached: 200 kB\n"
                                     "SReclaimable: 40 kB\nShmem: 50 kB\n");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->available(), 300u * 1024);
    EXPECT_EQ(info->used(), 700u * 1024);
    EXPECT_EQ(info->swapUsed(), std::nullopt);
}

TEST(MemInfoTest, FiguresNeverGoNegative) {
    // Shared memory larger than the cache figures, swap free above swap total, available above total.
    const auto info = MemInfo::parse("MemTotal: 100 kB\nMemAvailable: 150 kB\nCached: 10 kB\nShmem: 50 kB\n"
                                     "SwapTotal: 10 kB\nSwapFree: 20 kB\n");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->used(), 0u);
    EXPECT_EQ(info->cached(), 0u);
    EXPECT_EQ(info->swapUsed(), 0u);
}

TEST(MemInfoTest, UnusableTextGivesNothing) {
    const char* texts[] = {
        "",
        "MemAvailable: 10 kB\n",
        "MemTotal: 0 kB\nMemAvailable: 0 kB\n",
        "MemTotal: 100 kB\n",
        "MemTotal: lots kB\nMemAvailable: 10 kB\n",
        "MemTotal: 100 MB\nMemAvailable: 10 kB\n",
        "MemTotal: 18014398509481984 kB\nMemAvailable: 10 kB\n", // overflows as bytes
        "MemTotal -> 100 kB\nMemAvailable: 10 kB\n",
    };
    for (const char* text : texts) {
        EXPECT_EQ(MemInfo::parse(text), std::nullopt) << text;
    }
}

} // namespace
} // namespace halvrick
