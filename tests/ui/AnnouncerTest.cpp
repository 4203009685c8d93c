#include "ui/Announcer.h"

#include "QtTestApp.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

TEST(AnnouncerTest, AlertsFromItsWidgetAndOutlivesIt) {
    ASSERT_TRUE(qtTestAppReady());
    auto widget = std::make_unique<QWidget>();
    AccessibleAnnouncer announcer(*widget);
    announcer.announce(QStringLiteral("Break ended."));
    EXPECT_EQ(announcer.lastAnnouncement(), QStringLiteral("Break ended."));
    EXPECT_EQ(widget->accessibleDescription(), QStringLiteral("Break ended."));

    widget.reset();
    announcer.announce(QStringLiteral("Hold… 4"));
    EXPECT_EQ(announcer.lastAnnouncement(), QStringLiteral("Hold… 4"));
}

} // namespace
} // namespace halvrick
