#include "AppModelFakes.h"

#include <gmock/gmock.h>
#include <limits>

namespace halvrick {
namespace {

using fakes::ModelTest;

struct RestMinutesCase {
    const char* name;
    std::optional<std::string> text;
    std::optional<double> seconds;
};

class RestMinutesTest : public testing::TestWithParam<RestMinutesCase> {};

TEST_P(RestMinutesTest, OnlyAFiniteNumberAboveZeroWrittenInFullCounts) {
    const RestMinutesCase& c = GetParam();
    const AppModelEnvironment::Lookup environment = [&](const char* key) -> std::optional<std::string> {
        return std::string(key) == "HALVRICK_REST_MINUTES" ? c.text : std::nullopt;
    };
    EXPECT_EQ(AppModelEnvironment::debugRestInterval(environment), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestMinutesTest,
    testing::Values(RestMinutesCase{"Whole", "5", 300}, RestMinutesCase{"Fraction", "0.5", 30},
                    RestMinutesCase{"Exponent", "1e1", 600},
                    RestMinutesCase{"Unset", std::nullopt, std::nullopt},
                    RestMinutesCase{"Empty", "", std::nullopt}, RestMinutesCase{"Zero", "0", std::nullopt},
                    RestMinutesCase{"Negative", "-3", std::nullopt},
                    RestMinutesCase{"Infinite", "inf", std::nullopt},
                    RestMinutesCase{"NotANumber", "nan", std::nullopt},
                    RestMinutesCase{"OverflowsInSeconds", "1e307", std::nullopt},
                    RestMinutesCase{"TrailingText", "5min", std::nullopt},
                    RestMinutesCase{"LeadingBlank", " 5", std::nullopt},
                    RestMinutesCase{"DecimalComma", "1,5", std::nullopt}),
    [](const testing::TestParamInfo<RestMinutesCase>& info) { return std::string(info.param.name); });

class AppModelEnvironmentTest : public ModelTest {};

TEST_F(AppModelEnvironmentTest, TheModelReadsBothSwitchesWhenItIsMade) {
    world.environment["HALVRICK_LOG"] = "";
    world.environment["HALVRICK_REST_MINUTES"] = "2";
    make();
    EXPECT_TRUE(model->logsSamples());
    EXPECT_EQ(model->debugRestInterval(), 120);
}

TEST_F(AppModelEnvironmentTest, WithoutSwitchesNothingIsLoggedOrOverridden) {
    make();
    EXPECT_FALSE(model->logsSamples());
    EXPECT_EQ(model->debugRestInterval(), std::nullopt);
}

} // namespace
} // namespace halvrick
