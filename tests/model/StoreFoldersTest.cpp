#include "StoreTestSupport.h"
#include "model/Defaults.h"
#include "model/LedgerFile.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

// Every file of the application resolves its folder through the same rules.
TEST(StoreFoldersTest, TheApplicationsFilesIgnoreRelativeFolders) {
    const testing_support::ScopedEnvironment env{
        {"HOME", "/home/ada"}, {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "share"}};
    EXPECT_EQ(LedgerFile::applicationSupportFolder(), "/home/ada/.local/share/Halvrick");
    EXPECT_EQ(Defaults::standardPath(), "/home/ada/.config/Halvrick/defaults.json");
}

} // namespace
} // namespace halvrick
