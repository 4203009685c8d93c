#include "core/AppAttribution.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

using Kind = AppKey::Kind;
using OptStr = std::optional<std::string>;

struct ClassifyCase {
    OptStr path;
    OptStr name;
    AppKey expected;
};

AppKey process(const std::string& name) { return {Kind::process, name, name}; }

TEST(AppAttributionTest, Classifies) {
    const AppKey& sys = AppKey::system();
    const ClassifyCase cases[] = {
        {std::nullopt, std::nullopt, sys},
        {"", "", sys},
        {std::nullopt, "kernel_task", sys},
        {std::nullopt, "Kernel_task", process("Kernel_task")}, // exact match only
        {std::nullopt, "systemd-journal", sys},                 // the kernel's 15-byte cut of a system name
        {std::nullopt, "packagekitd", process("packagekitd")},
        {"", "node", process("node")},
        {"/Applications/Foo.app/Contents/MacOS/Foo", "ignored", {Kind::app, "/Applications/Foo.app", "Foo"}},
        {"/Applications/Foo.APP/Contents/MacOS/Foo", std::nullopt, {Kind::app, "/Applications/Foo.APP", "Foo"}},
        {"/Applications/Editor.app/Contents/Frameworks/Worker.app/Contents/MacOS/Worker", std::nullopt,
         {Kind::app, "/Applications/Editor.app", "Editor"}},
        {"/System/Library/CoreServices/Finder.app/Contents/MacOS/Finder", std::nullopt, sys},
        {"/opt/.app/bin/tool", std::nullopt, process("tool")}, // ".app" alone is no bundle
        {"/usr/sbin/somed", std::nullopt, sys},
        {"/usr/lib/systemd/systemd-logind", std::nullopt, sys},
        {"/usr/libexec/tracker-miner-fs-3", std::nullopt, sys},
        {"/usr/local/bin/node", "nodejs", process("node")},
        {"/opt/tools/ps", std::nullopt, sys},
        {"/usr/bin/pipewire", std::nullopt, sys},
        {"/usr/bin/gnome-shell", std::nullopt, sys},
        {"/home/ann/bin/ /", std::nullopt, process(" ")},
    };
    for (const ClassifyCase& c : cases) {
        EXPECT_EQ(AppAttribution::classify(c.path, c.name), c.expected)
            << c.path.value_or("<none>") << " / " << c.name.value_or("<none>");
    }
}

TEST(AppAttributionTest, PathHelpers) {
    EXPECT_EQ(AppAttribution::outermostAppBundlePath("/A/B.app/C.app/x"), "/A/B.app");
    EXPECT_EQ(AppAttribution::outermostAppBundlePath("Rel.app/x"), "Rel.app");
    EXPECT_EQ(AppAttribution::outermostAppBundlePath("/usr/bin/app"), std::nullopt);
    EXPECT_EQ(AppAttribution::lastComponent("/usr/bin/node/"), "node");
    EXPECT_EQ(AppAttribution::lastComponent("node"), "node");
    EXPECT_EQ(AppAttribution::lastComponent("///"), "///");
    EXPECT_EQ(AppAttribution::lastComponent(""), "");
}

TEST(AppAttributionTest, OnlyApplicationsAreQuittable) {
    EXPECT_FALSE(AppKey::system().isQuittable());
    EXPECT_FALSE(process("node").isQuittable());
    EXPECT_TRUE(AppAttribution::classify("/Applications/Foo.app/Foo", std::nullopt).isQuittable());
}

} // namespace
} // namespace halvrick
