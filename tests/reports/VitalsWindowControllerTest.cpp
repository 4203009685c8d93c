#include "VitalsTestSupport.h"

#include "reports/VitalsWindowController.h"

#include <QDeadlineTimer>

namespace halvrick::vitalstest {
namespace {

class VitalsWindowControllerTest : public VitalsTest {
protected:
    void TearDown() override {
        QDeadlineTimer deadline(5000);
        while (model->isMeasuringFolders() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
};

TEST_F(VitalsWindowControllerTest, MadeOnFirstShowThenAFreshViewOnEveryShowWithoutMovingTheWindow) {
    VitalsWindowController controller(*model, environment());
    EXPECT_EQ(controller.window(), nullptr);

    controller.show();
    QWidget* window = controller.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Vitals");
    EXPECT_EQ(window->minimumSize(), QSize(560, 520));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->isVisible());
    // Coming on screen measures the folders: nothing was ever measured.
    EXPECT_TRUE(model->isMeasuringFolders());
    QPointer<VitalsView> first = controller.view();
    ASSERT_TRUE(first);

    window->move(window->pos() + QPoint(37, 23));
    const QPoint moved = window->pos();
    window->resize(700, 800);
    window->close();
    EXPECT_FALSE(window->isVisible());

    controller.show();
    EXPECT_EQ(controller.window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(first);
    EXPECT_NE(controller.view(), nullptr);
    EXPECT_EQ(window->pos(), moved);
    EXPECT_EQ(window->size(), QSize(700, 800));
}

TEST_F(VitalsWindowControllerTest, ARecentMeasurementIsNotRepeatedOnShow) {
    ledger().recordFolderSizes({{"downloads", 1}}, world.now - 3600, world.calendar);
    VitalsWindowController controller(*model, environment());
    controller.show();
    EXPECT_FALSE(model->isMeasuringFolders());
    // The figures were refreshed all the same.
    EXPECT_TRUE(model->folderComparisons().empty());
    EXPECT_TRUE(model->hasMeasuredFoldersToday());
}

} // namespace
} // namespace halvrick::vitalstest
