#include "QtTestApp.h"
#include "ui/CoalescedRefresh.h"

#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(CoalescedRefreshTest, OneRefreshPerTurnAndNoneWhileTheWindowIsHidden) {
    ASSERT_TRUE(qtTestAppReady());
    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    auto* view = new QWidget(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(view);
    int refreshes = 0;
    CoalescedRefresh refresher(*view, [&] { ++refreshes; });

    refresher.request();
    refresher.request();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 0) << "the window is hidden";

    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 1) << "the stale view catches up once shown";

    refresher.request();
    refresher.request();
    refresher.request();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 2);

    // A view that hid itself (a card with nothing to say) still hears of news while its window shows.
    view->hide();
    refresher.request();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 3);

    window.hide();
    refresher.request();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 3);
    window.show();
    window.hide();
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 4) << "one catch-up, however often the window shows";
}

TEST(CoalescedRefreshTest, FollowsTheViewIntoAnotherWindow) {
    ASSERT_TRUE(qtTestAppReady());
    QWidget first;
    QWidget second;
    for (QWidget* window : {&first, &second}) {
        window->setAttribute(Qt::WA_DontShowOnScreen);
    }
    auto* view = new QWidget(&first);
    int refreshes = 0;
    CoalescedRefresh refresher(*view, [&] { ++refreshes; });
    refresher.request();
    view->setParent(&second);
    refresher.request();
    first.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 0) << "the view no longer lives in the first window";
    second.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 1);
}

} // namespace
} // namespace halvrick
