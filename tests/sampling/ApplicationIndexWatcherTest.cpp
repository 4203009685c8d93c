#include "sampling/ApplicationIndexWatcher.h"

#include "ProcessFixtures.h"
#include "QtTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace halvrick {
namespace {

class ApplicationIndexWatcherTest : public testing::Test {
protected:
    void TearDown() override { fixtures::fs::remove_all(root); }

    // Runs the event loop until `rebuilds` builds have been adopted, five seconds at most.
    void waitForRebuilds(int rebuilds) {
        QElapsedTimer guard;
        guard.start();
        while (this->rebuilds < rebuilds && guard.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
    }

    std::string owner(const std::string& exe) const {
        const auto* app = watcher->current()->applicationFor(exe, {});
        return app ? app->key.displayName : "";
    }

    QCoreApplication& app = testApplication();
    fixtures::fs::path root = fixtures::freshFolder("watch");
    fixtures::AppTree tree{root};
    std::unique_ptr<ApplicationIndexWatcher> watcher;
    int rebuilds = 0;
};

TEST_F(ApplicationIndexWatcherTest, RebuildsOnceForABurstOfChanges) {
    watcher = std::make_unique<ApplicationIndexWatcher>(tree.roots(), 200);
    watcher->onRebuilt = [this] { ++rebuilds; };
    EXPECT_TRUE(watcher->current()->applications().empty());
    waitForRebuilds(1);
    ASSERT_EQ(rebuilds, 1);
    EXPECT_EQ(owner("/usr/bin/gedit"), "Text Editor");

    // Installed while nothing runs the event loop: one rebuild sees all of it.
    tree.program("/usr/bin/inkpad");
    tree.entry("system", "inkpad.desktop", "Name=Inkpad\nExec=inkpad\n");
    tree.program("/usr/bin/scribe");
    tree.entry("system", "scribe.desktop", "Name=Scribe\nExec=scribe\n");
    fixtures::fs::remove(root / "system/applications/org.gnome.gedit.desktop");
    waitForRebuilds(2);
    ASSERT_EQ(rebuilds, 2);
    EXPECT_EQ(owner("/usr/bin/inkpad"), "Inkpad");
    EXPECT_EQ(owner("/usr/bin/scribe"), "Scribe");
    EXPECT_EQ(owner("/usr/bin/gedit"), "");

    // A data folder that had no applications folder yet.
    tree.program("/usr/bin/late");
    tree.entry("missing", "late.desktop", "Name=Late\nExec=late\n");
    waitForRebuilds(3);
    ASSERT_EQ(rebuilds, 3);
    EXPECT_EQ(owner("/usr/bin/late"), "Late");
}

TEST_F(ApplicationIndexWatcherTest, CanGoWhileBuilding) {
    watcher = std::make_unique<ApplicationIndexWatcher>(tree.roots(), 200);
    watcher->onRebuilt = [this] { ++rebuilds; };
    watcher.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(rebuilds, 0);
}

} // namespace
} // namespace halvrick
