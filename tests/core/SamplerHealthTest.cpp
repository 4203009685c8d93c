#include "core/SamplerHealth.h"

#include <gtest/gtest.h>
#include <string>

namespace halvrick {
namespace {

// A run of reports: 'F' failed, 'S' succeeded; `verdicts` holds what each report returns ('1' degraded).
struct ReportRun {
    int failureThreshold;
    int recoveryThreshold;
    std::string reports;
    std::string verdicts;
};

TEST(SamplerHealthTest, DegradesAfterAFailureRunAndRecoversAfterASuccessRun) {
    const std::vector<ReportRun> runs{
        {3, 2, "FFFSS", "00110"},     {3, 2, "FFSFF", "00000"}, {3, 2, "FFFFFSFSS", "001111110"},
        {3, 2, "SSSFFF", "000001"},   {0, 0, "FSFS", "1010"},   {-4, 1, "FFS", "110"},
        {1, 3, "FSSFSSS", "1111110"},
    };
    for (const ReportRun& run : runs) {
        SamplerHealth health(run.failureThreshold, run.recoveryThreshold);
        std::string verdicts;
        for (const char report : run.reports) {
            const bool degraded = health.record(report == 'S');
            EXPECT_EQ(degraded, health.isDegraded());
            verdicts += degraded ? '1' : '0';
        }
        EXPECT_EQ(verdicts, run.verdicts)
            << run.failureThreshold << "/" << run.recoveryThreshold << " " << run.reports;
    }
}

TEST(SamplerHealthTest, ThresholdsBelowTwoAreStoredAsOne) {
    const SamplerHealth health(0, -7);
    EXPECT_EQ(health.failureThreshold(), 1);
    EXPECT_EQ(health.recoveryThreshold(), 1);
    EXPECT_EQ(SamplerHealth(5, 4).failureThreshold(), 5);
}

TEST(SamplerHealthTest, ResetClearsTheVerdictAndKeepsTheThresholds) {
    SamplerHealth health(2, 3);
    health.record(false);
    health.record(false);
    health.record(true);
    ASSERT_TRUE(health.isDegraded());
    health.reset();
    EXPECT_EQ(health, SamplerHealth(2, 3));
    EXPECT_FALSE(health.record(true));
    EXPECT_FALSE(health.record(false));
    EXPECT_TRUE(health.record(false));
}

} // namespace
} // namespace halvrick
