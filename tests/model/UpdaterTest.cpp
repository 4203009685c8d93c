#include "model/Updater.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace halvrick {
namespace {

struct Opened {
    std::vector<QUrl> urls;

    Updater::URLOpener opener() {
        return [this](const QUrl& url) { urls.push_back(url); };
    }
};

TEST(UpdaterTest, NeverConfiguredAndStartingSaysSoOnce) {
    Opened opened;
    std::ostringstream log;
    Updater updater("https://example.org/halvrick#get", opened.opener(), log);
    EXPECT_FALSE(updater.isConfigured());

    updater.start();
    EXPECT_EQ(log.str(), "Halvrick: the updater could not start (there is no update framework on Linux).\n");
    // Checking still works without it.
    updater.checkForUpdates();
    EXPECT_EQ(opened.urls, std::vector<QUrl>{QUrl("https://example.org/halvrick#get")});
    EXPECT_TRUE(updater.hasSource());
}

TEST(UpdaterTest, WithoutAnUpdateSourceStartingSaysNothing) {
    for (const char* page : {"", "#get", "file:///etc/passwd#get"}) {
        std::ostringstream log;
        Updater updater(page, nullptr, log);
        EXPECT_FALSE(updater.hasSource()) << page;
        updater.start();
        EXPECT_EQ(log.str(), "") << page;
    }
}

TEST(UpdaterTest, ChecksOpenOnlyAWebPage) {
    const std::pair<std::string, bool> cases[] = {
        {"https://example.org/halvrick#get", true},
        {"http://example.org/download#get", true},
        {"HTTPS://example.org/#get", true},
        {"", false},
        {"#get", false},
        {"example.org/download#get", false},
        {"https://", false},
        {"https://exa mple.org/#get", false},
        {"http://[::1#get", false},
        {"file:///etc/passwd#get", false},
        {"javascript:alert(1)#get", false},
        {"/usr/bin/xterm#get", false},
    };
    for (const auto& [page, opens] : cases) {
        Opened opened;
        std::ostringstream log;
        Updater updater(page, opened.opener(), log);
        updater.checkForUpdates();
        EXPECT_EQ(opened.urls.size(), opens ? 1u : 0u) << page;
        EXPECT_EQ(log.str(), "") << page;
    }
}

TEST(UpdaterTest, WithoutAnOpenerCheckingDoesNothing) {
    std::ostringstream log;
    Updater updater("https://example.org/#get", nullptr, log);
    updater.checkForUpdates();
    EXPECT_EQ(log.str(), "");
}

} // namespace
} // namespace halvrick
