#include "model/ModelLog.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>

namespace halvrick {
namespace {

TEST(ModelLogTest, WarningsShowAlwaysAndDebugLinesOnlyWhenHalvrickLogIsSet) {
    EXPECT_TRUE(modelLog().isWarningEnabled());
    EXPECT_FALSE(modelLog().isDebugEnabled());

    std::map<std::string, std::string> environment;
    const auto lookup = [&environment](const char* key) -> std::optional<std::string> {
        const auto it = environment.find(key);
        return it == environment.end() ? std::nullopt : std::optional(it->second);
    };
    ModelLog::followLogSwitch(lookup);
    EXPECT_FALSE(modelLog().isDebugEnabled());

    environment["HALVRICK_LOG"] = "";
    ModelLog::followLogSwitch(lookup);
    EXPECT_TRUE(modelLog().isDebugEnabled());
    EXPECT_TRUE(modelLog().isWarningEnabled());

    QLoggingCategory::setFilterRules(QString());
    qSetMessagePattern(QString());
    EXPECT_FALSE(modelLog().isDebugEnabled());
}

} // namespace
} // namespace halvrick
