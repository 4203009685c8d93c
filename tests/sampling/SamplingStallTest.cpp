#include "sampling/SamplingStall.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace halvrick {
namespace {

TEST(SamplingStallTest, ATimedStepReachesTheWriterOnceAndNoWriterTimesNothing) {
    std::vector<std::pair<std::string, double>> times;
    SamplingStall::setWriter([&](std::string_view what, double wall, double cpu) {
        times.emplace_back(what, wall);
        EXPECT_GE(cpu, 0);
    });
    {
        const SamplingStall outer("process sample");
        const SamplingStall inner("load");
        EXPECT_TRUE(times.empty());
    }
    ASSERT_EQ(times.size(), 2u);
    EXPECT_EQ(times[0].first, "load");
    EXPECT_EQ(times[1].first, "process sample");
    EXPECT_GE(times[1].second, times[0].second);
    EXPECT_GE(times[0].second, 0);

    SamplingStall::setWriter(nullptr);
    { const SamplingStall quiet("vitals"); }
    EXPECT_EQ(times.size(), 2u);
}

} // namespace
} // namespace halvrick
