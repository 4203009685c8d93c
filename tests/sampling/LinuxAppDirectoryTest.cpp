#include "sampling/LinuxAppDirectory.h"

#include "ProcessFixtures.h"
#include "QtTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using fixtures::FakeProcess;
using testing::ElementsAre;
using testing::IsEmpty;

class RecordingCloser : public WindowCloser {
public:
    bool closeWindows(const std::vector<RunningApplication>& processes) override {
        calls.push_back(processes);
        return answer;
    }

    std::vector<std::vector<RunningApplication>> calls;
    bool answer = true;
};

class LinuxAppDirectoryTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string paint = "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                                  "app-flatpak-org.example.Paint-2001.scope\n";
        for (const FakeProcess& p : {
                 FakeProcess{.pid = 10,
                .name = "firefox-esr",
                .exe = "/usr/lib/firefox-esr/firefox-esr",
                .start = 100},
                 FakeProcess{.pid = 11,
                 .name = "crashhelper",
                 .exe = "/usr/lib/firefox-esr/crashhelper",
                 .start = 110},
                 FakeProcess{.pid = 12, .name = "gedit", .exe = "/usr/bin/gedit", .start = 120},
                 FakeProcess{.pid = 13, .name = "firefox-esr", .exe = std::nullopt, .start = 130},
                 FakeProcess{
                     .pid = 14, .name = "kworker/0:1", .exe = std::nullopt, .start = 5, .flags = 0x00208040},
                 FakeProcess{
                     .pid = 15, .name = "paint", .exe = "/app/bin/paint", .start = 150, .cgroup = paint},
             }) {
            proc.write(p);
        }
        auto closer = std::make_unique<RecordingCloser>();
        closer_ = closer.get();
        directory = std::make_unique<LinuxAppDirectory>(
            [this] { return index; },
            LinuxAppDirectory::Sources{std::make_unique<ProcProcessReader>(proc.root().string(), 100.0),
                                       std::move(closer), std::nullopt});
    }
    void TearDown() override { fixtures::fs::remove_all(root); }

    AppKey firefox() const {
        return AppKey(AppKey::Kind::app, apps.entryPath("system", "firefox-esr.desktop"), "Firefox ESR");
    }

    fixtures::fs::path root = fixtures::freshFolder("appdir");
    fixtures::AppTree apps{root / "apps"};
    fixtures::ProcTree proc{root / "proc"};
    std::shared_ptr<const ApplicationIndex> index =
        std::make_shared<ApplicationIndex>(ApplicationIndex::build(apps.roots()));
    std::unique_ptr<LinuxAppDirectory> directory;
    RecordingCloser* closer_ = nullptr;
};

TEST_F(LinuxAppDirectoryTest, RunningApplicationsAreThePidsTheIndexGivesTheKeyNow) {
    // Another app's process, one gone, an unreadable one, a kernel thread and repeats drop out.
    EXPECT_THAT(directory->runningApplications(firefox(), {12, 10, 99, 13, 14, 11, 10, 0, -1}),
                ElementsAre(RunningApplication{10, 100}, RunningApplication{11, 110}));
    const AppKey paint(AppKey::Kind::app, apps.entryPath("flatpak", "org.example.Paint.desktop"), "Paint");
    EXPECT_THAT(directory->runningApplications(paint, {10, 15}), ElementsAre(RunningApplication{15, 150}));
    // A pid reused by another program since the sample is not the application's any more.
    proc.write(FakeProcess{.pid = 10, .name = "bash", .exe = "/usr/bin/bash", .start = 900});
    EXPECT_THAT(directory->runningApplications(firefox(), {10, 11}),
                ElementsAre(RunningApplication{11, 110}));
}

TEST_F(LinuxAppDirectoryTest, QuitClosesTheWindowsOfTheRunningProcesses) {
    EXPECT_TRUE(directory->quit(firefox(), {12, 10, 11}));
    closer_->answer = false;
    EXPECT_FALSE(directory->quit(firefox(), {10}));
    EXPECT_THAT(closer_->calls,
                ElementsAre(ElementsAre(RunningApplication{10, 100}, RunningApplication{11, 110}),
                            ElementsAre(RunningApplication{10, 100})));
}

TEST_F(LinuxAppDirectoryTest, NothingIsSentWhenNoProcessBelongsToTheKey) {
    const AppKey gedit(AppKey::Kind::app, apps.entryPath("system", "org.gnome.gedit.desktop"), "Text Editor");
    const struct {
        AppKey key;
        std::vector<std::int32_t> pids;
        const char* why;
    } cases[] = {
        {AppKey::system(), {10, 11, 12}, "the system"},
        {AppKey(AppKey::Kind::process, "gedit", "gedit"), {12}, "a bare process"},
        {AppKey(AppKey::Kind::process, firefox().id, "firefox-esr"), {10}, "a process key with an app's id"},
        {firefox(), {12, 13, 99}, "no pid of the application"},
        {firefox(), {}, "no pids at all"},
        {AppKey(AppKey::Kind::app, "/nowhere/gone.desktop", "Gone"), {10, 12}, "an entry the index lacks"},
        {gedit, {12}, "the right pid, but the index is not built"},
    };
    index = std::make_shared<ApplicationIndex>(ApplicationIndex::build(apps.roots()));
    for (const auto& c : cases) {
        if (c.key == gedit) {
            index = nullptr;
        }
        EXPECT_THAT(directory->runningApplications(c.key, c.pids), IsEmpty()) << c.why;
        EXPECT_FALSE(directory->quit(c.key, c.pids)) << c.why;
    }
    EXPECT_THAT(closer_->calls, IsEmpty());
}

TEST_F(LinuxAppDirectoryTest, EveryKeyHasAnImageOfTheSizeAsked) {
    testApplication();
    for (const AppKey& key : {firefox(), AppKey::system(), AppKey(AppKey::Kind::process, "kworker", "kworker")}) {
        const QImage image = directory->image(key, 20);
        ASSERT_EQ(image.size(), QSize(20, 20)) << key.displayName;
        EXPECT_EQ(qAlpha(image.pixel(10, 10)), 255) << key.displayName;
    }
    EXPECT_TRUE(directory->image(firefox(), 0).isNull());
}

} // namespace
} // namespace halvrick
