#include "sampling/ApplicationIndex.h"

#include "ProcessFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using fixtures::AppTree;
using Sandbox = ApplicationIndex::Sandbox;

class ApplicationIndexTest : public testing::Test {
protected:
    void TearDown() override { fixtures::fs::remove_all(root); }

    // The display name of the application a process belongs to, or "" for none.
    std::string owner(const std::string& exe, const Sandbox& sandbox = {}) const {
        const auto* app = index.applicationFor(exe, sandbox);
        return app ? app->key.displayName : "";
    }

    fixtures::fs::path root = fixtures::freshFolder("apps");
    AppTree tree{root};
    ApplicationIndex index = ApplicationIndex::build(tree.roots());
};

TEST_F(ApplicationIndexTest, KeysNameTheDesktopFile) {
    const auto* app = index.applicationFor("/usr/lib/firefox-esr/firefox-esr", {});
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->key, AppKey(AppKey::Kind::app, tree.entryPath("system", "firefox-esr.desktop"), "Firefox ESR"));
    EXPECT_EQ(app->icon, "firefox-esr");
    EXPECT_EQ(app->program, "/usr/lib/firefox-esr/firefox-esr");
    EXPECT_TRUE(app->key.isQuittable());
}

TEST_F(ApplicationIndexTest, AttributesProcessesByProgramAndPrivateFolder) {
    const struct {
        const char* exe;
        const char* owner;
    } cases[] = {
        // the browser and its helpers in its private folder
        {"/usr/lib/firefox-esr/firefox-esr", "Firefox ESR"},
        {"/usr/lib/firefox-esr/crashhelper", "Firefox ESR"},
        {"/usr/lib/firefox-esr-other/firefox-esr", ""},
        // an editor in /usr/bin is its program alone, not the folder
        {"/usr/bin/gedit", "Text Editor"},
        {"/usr/bin/gedit-helper", ""},
        // a terminal's shells belong to no application
        {"/usr/bin/xterm", "My Terminal"},
        {"/usr/bin/bash", ""},
        // bin/ and its sibling folders of a vendor application
        {"/opt/vendor/app/bin/app", "Vendor App"},
        {"/opt/vendor/app/lib/helper", "Vendor App"},
        {"/opt/vendor/other", ""},
        // a launcher script's program in /usr/lib/<name>
        {"/usr/lib/thunderbird/thunderbird", "Thunderbird"},
        // a folder with two applications' programs is private to neither
        {"/opt/suite/alpha", "Alpha"},
        {"/opt/suite/beta", "Beta"},
        {"/opt/suite/gamma", ""},
        // the user's own folders are shared; a folder of the program's own below them is not
        {"/home/user/Applications/tool", "User Tool"},
        {"/home/user/Applications/other", ""},
        {"/home/user/tools/sketch/renderer", "Sketch"},
        // one program behind several entries
        {"/usr/lib/office/program/soffice.bin", "Office"},
        // hidden, not displayed, not installed, or run by an interpreter: nothing claims them
        {"/usr/bin/hidden", ""},
        {"/usr/bin/handler", ""},
        {"/usr/bin/python3.11", ""},
        {"/usr/bin/flatpak", ""},
        {"", ""},
        {"relative/firefox-esr", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(owner(c.exe), c.owner) << c.exe;
    }
}

TEST_F(ApplicationIndexTest, AttributesSandboxesByScopeOrSnapPath) {
    const Sandbox paint{Sandbox::Kind::flatpak, "org.example.Paint", {}};
    EXPECT_EQ(owner("/app/bin/paint", paint), "Paint");
    // Inside a sandbox a host path means nothing.
    EXPECT_EQ(owner("/usr/bin/gedit", paint), "Paint");
    EXPECT_EQ(owner("/usr/bin/gedit", Sandbox{Sandbox::Kind::flatpak, "org.example.Other", {}}), "");
    EXPECT_EQ(owner("/app/bin/paint"), "");

    EXPECT_EQ(owner("/snap/chromium/2345/usr/lib/chromium-browser/chrome"), "Chromium");
    EXPECT_EQ(owner("/usr/lib/chromium-browser/chrome", Sandbox{Sandbox::Kind::snap, "chromium", "chromium"}),
              "Chromium");
    EXPECT_EQ(owner("/usr/lib/chromium-browser/chrome", Sandbox{Sandbox::Kind::snap, "chromium", "hook"}),
              "Chromium");
    EXPECT_EQ(owner("/snap/other/1/bin/other"), "");
}

TEST_F(ApplicationIndexTest, KeepsEachEntryOnceWithMendedNames) {
    std::vector<std::string> names;
    for (const auto& app : index.applications()) {
        names.push_back(app.key.displayName);
    }
    EXPECT_THAT(names, testing::UnorderedElementsAre("Firefox ESR", "Text Editor", "My Terminal", "Paint",
                                                     "Chromium", "Vendor App", "Thunderbird", "Alpha", "Beta",
                                                     "Office", "User Tool", "Sketch",
                                                     "Caf\xEF\xBF\xBD Noir"));
    EXPECT_THAT(index.watchedFolders(), testing::IsSupersetOf({root.string() + "/user/applications",
                                                               root.string() + "/system/applications"}));
    // The missing data folder is watched through the nearest folder that exists.
    EXPECT_THAT(index.watchedFolders(), testing::Contains(root.string()));
}

TEST_F(ApplicationIndexTest, AnEmptyIndexClaimsNothing) {
    const ApplicationIndex empty;
    EXPECT_EQ(empty.applicationFor("/usr/bin/gedit", {}), nullptr);
    ApplicationIndex::Roots nowhere = tree.roots();
    nowhere.dataDirs = {(root / "none").string()};
    EXPECT_TRUE(ApplicationIndex::build(nowhere).applications().empty());
}

TEST(ApplicationIndexSmokeTest, IndexesThisMachine) {
    const ApplicationIndex index = ApplicationIndex::build(ApplicationIndex::Roots::standard());
    for (const auto& app : index.applications()) {
        EXPECT_EQ(app.key.kind, AppKey::Kind::app);
        EXPECT_TRUE(app.key.id.ends_with(".desktop")) << app.key.id;
        EXPECT_FALSE(app.key.displayName.empty()) << app.key.id;
    }
    EXPECT_EQ(index.applicationFor("/usr/bin/bash", {}), nullptr);
}

} // namespace
} // namespace halvrick
