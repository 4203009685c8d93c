#include "AppModelFakes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

// The real machine's services, with the ledgers and defaults kept out of the user's folders.
TEST(AppModelSystemTest, TheRealMachineStartsAndReportsItsVitalsAtOnce) {
    fakes::testApplication();
    QTemporaryDir folder;
    auto defaults = std::make_shared<Defaults>(std::nullopt);
    SettingsStore settings(*defaults);
    fakes::FakeNotifier notifier;
    AppServices services = AppServices::system(defaults);
    services.dataFolder = folder.path();
    services.environment = [](const char*) { return std::optional<std::string>(); };
    AppModel model(Config::defaults(), settings, notifier, std::move(services));

    model.start();
    ASSERT_TRUE(model.machine());
    EXPECT_GT(model.machine()->memoryTotal, 0U);
    EXPECT_EQ(model.stats().fileURL(), folder.path() + "/stats.json");
    EXPECT_FALSE(model.samplingFailed());
    model.popoverWillOpen(false);
    model.popoverDidClose();
}

} // namespace
} // namespace halvrick
