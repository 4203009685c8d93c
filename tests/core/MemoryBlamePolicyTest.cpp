#include "core/MemoryBlamePolicy.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(MemoryBlamePolicyTest, CoolStatesAndPressure) {
    const MemoryBlamePolicy policy(1'000'000'000, HeatState::warm);
    const bool cool[] = {true, true, false, false};
    for (const HeatState state : allHeatStates) {
        const bool isCool = cool[rawValue(state)];
        EXPECT_EQ(policy.isCool(state), isCool);
        EXPECT_EQ(policy.blames(1'000'000'000, state, MemoryPressure::warning), isCool);
        EXPECT_EQ(policy.blames(~0ull, state, MemoryPressure::normal), false);
        EXPECT_EQ(policy.isFull(state, MemoryPressure::critical), isCool);
        EXPECT_EQ(policy.isFull(state, MemoryPressure::warning), false);
    }
    EXPECT_FALSE(policy.blames(999'999'999, HeatState::chill, MemoryPressure::critical));
    EXPECT_TRUE(policy.blames(1'000'000'000, HeatState::chill, MemoryPressure::critical));
}

} // namespace
} // namespace halvrick
