#include "core/Bytes.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace halvrick {
namespace {

const std::string minus = "\u2212";
constexpr std::uint64_t KiB = 1024;
constexpr std::uint64_t GiB = KiB * KiB * KiB;
constexpr std::uint64_t TiB = GiB * KiB;

struct Row {
    std::uint64_t bytes;
    const char* expected;
};

TEST(BytesTest, MemoryScalesBy1024) {
    const Row rows[] = {
        {0, "0 B"},
        {1, "1.0 B"},
        {512, "512 B"},
        {1023, "1023 B"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {102'349, "100.0 KB"},  // 99.95 KB: decimals are chosen before rounding
        {1'048'575, "1024 KB"}, // rounds up without moving to MB
        {1'048'576, "1.0 MB"},
        {16 * GiB, "16.0 GB"},
        {1500 * TiB, "1500 TB"}, // nothing beyond TB
        {std::numeric_limits<std::uint64_t>::max(), "16777216 TB"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Bytes::memory(row.bytes), row.expected) << row.bytes;
    }
}

TEST(BytesTest, StorageScalesBy1000) {
    const Row rows[] = {
        {0, "0 B"},
        {99, "99.0 B"},
        {999, "999 B"},
        {1000, "1.0 KB"},
        {1024, "1.0 KB"},
        {1250, "1.2 KB"}, // an exact half rounds to even, as C formatted output does
        {1350, "1.4 KB"}, // 1.35 is stored slightly above the half
        {99'950, "100.0 KB"},
        {999'999, "1000 KB"},
        {2'000'000'000, "2.0 GB"},
        {150'000'000'000, "150 GB"},
        {1'500'000'000'000'000, "1500 TB"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Bytes::storage(row.bytes), row.expected) << row.bytes;
    }
}

TEST(BytesTest, ChangeCarriesItsSign) {
    struct ChangeRow {
        std::int64_t delta;
        bool storage;
        std::string expected;
    };
    const ChangeRow rows[] = {
        {0, true, "no change"},
        {0, false, "no change"},
        {2'000'000'000, true, "+2.0 GB"},
        {-2'000'000'000, true, minus + "2.0 GB"},
        {1 << 30, false, "+1.0 GB"},
        {-512 * 1024 * 1024, false, minus + "512 MB"},
        {1, false, "+1.0 B"},
        {-1, true, minus + "1.0 B"},
        {std::numeric_limits<std::int64_t>::min(), true, minus + "9223372 TB"},
    };
    for (const ChangeRow& row : rows) {
        EXPECT_EQ(Bytes::change(row.delta, row.storage), row.expected) << row.delta << " " << row.storage;
    }
    // The minus sign is U+2212, never the ASCII hyphen.
    EXPECT_EQ(Bytes::change(-1000, true).find('-'), std::string::npos);
}

} // namespace
} // namespace halvrick
