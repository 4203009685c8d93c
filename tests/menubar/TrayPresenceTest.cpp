#include "menubar/TrayPresence.h"

#include "QtTestApp.h"

#include <QToolTip>
#include <QWidget>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

// The tray icon's tooltip, on show while the pointer rests on the icon, reads the figure of this second,
// not the one it had when the pointer came to rest.
TEST(TrayPresenceTest, AToolTipOnShowFollowsTheNewText) {
    ASSERT_TRUE(qtTestAppReady());
    QWidget icon;
    icon.setAttribute(Qt::WA_DontShowOnScreen);
    icon.resize(22, 22);
    icon.show();

    // Not on show: none comes up by itself.
    ASSERT_FALSE(QToolTip::isVisible());
    SystemTrayPresence::followShownToolTip(icon, "Halvrick: Warm, CPU 14%", "Halvrick: Warm, CPU 17%");
    EXPECT_FALSE(QToolTip::isVisible());

    QToolTip::showText(icon.mapToGlobal(QPoint(11, 11)), "Halvrick: Warm, CPU 14%", &icon);
    ASSERT_TRUE(QToolTip::isVisible());
    for (const char* next :
         {"Halvrick: Warm, CPU 17%", "Halvrick: Warm, CPU 12%", "Halvrick: Chill, CPU 1%"}) {
        SystemTrayPresence::followShownToolTip(icon, QToolTip::text(), next);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), next);
    }
    // A tooltip that reads something else is some other widget's: it stays as it is.
    SystemTrayPresence::followShownToolTip(icon, "Halvrick: Warm, CPU 14%", "Halvrick: Warm, CPU 15%");
    EXPECT_EQ(QToolTip::text(), "Halvrick: Chill, CPU 1%");
    QToolTip::hideText();
}

} // namespace
} // namespace halvrick
