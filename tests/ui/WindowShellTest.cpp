#include "ui/WindowShell.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QBackingStore>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

class WindowShellTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }
    void TearDown() override { WindowShell::setOpenSettings({}); }

    // Shown, in front and holding the keyboard, as after a click into it.
    static void bringUp(QWidget& window) {
        WindowShell::present(window, true);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

// The keys of the application menu of other desktops work in every window, typed anywhere in it, a text
// field included; the settings shortcut reaches windows made before it was set.
TEST_F(WindowShellTest, CtrlCommaOpensTheSettingsAndCtrlWClosesFromEveryWindow) {
    auto made = WindowShell::make(QStringLiteral("Vitals"), QSize(200, 120));
    auto* field = new QLineEdit(made.get());
    (new QVBoxLayout(made.get()))->addWidget(field);
    QWidget other(nullptr, Qt::Window);
    other.resize(200, 120);
    WindowShell::addShortcuts(other);
    int settingsOpened = 0;
    WindowShell::setOpenSettings([&settingsOpened] { ++settingsOpened; });

    for (QWidget* window : {made.get(), &other}) {
        const int before = settingsOpened;
        bringUp(*window);
        QWidget* target = window == made.get() ? static_cast<QWidget*>(field) : window;
        if (target == field) {
            field->setFocus();
        }
        QTest::keyClick(target, Qt::Key_Comma, Qt::ControlModifier);
        EXPECT_EQ(settingsOpened, before + 1) << window->windowTitle().toStdString();

        QTest::keyClick(target, Qt::Key_W, Qt::ControlModifier);
        EXPECT_FALSE(window->isVisible()) << "Ctrl+W hides the window";
    }
}

// A closed window gives back its native window and its backing store once the event loop turns, after
// its owner has dropped what it made for the show; its next show brings both back at the same place. A
// window shown again before that turn keeps everything.
TEST_F(WindowShellTest, AClosedWindowGivesBackWhatItsShowingTookAndGetsItAgainOnTheNextShow) {
    int closings = 0;
    auto window = WindowShell::make(QStringLiteral("Vitals"), QSize(300, 200), [&closings] { ++closings; });
    WindowShell::present(*window, true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->repaint();
    ASSERT_TRUE(window->backingStore());
    ASSERT_FALSE(window->backingStore()->size().isEmpty());
    const QPoint place = window->pos();

    window->close();
    window->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(closings, 0) << "shown again at once";
    EXPECT_TRUE(window->testAttribute(Qt::WA_WState_Created));

    window->close();
    EXPECT_EQ(closings, 0) << "not while Qt takes the window down";
    QCoreApplication::processEvents();
    EXPECT_EQ(closings, 1);
    EXPECT_FALSE(window->testAttribute(Qt::WA_WState_Created));
    EXPECT_TRUE(!window->windowHandle() || !window->windowHandle()->handle()) << "no native window";
    EXPECT_TRUE(!window->backingStore() || window->backingStore()->size().isEmpty());

    WindowShell::present(*window, false);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->repaint();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), place);
    ASSERT_TRUE(window->backingStore());
    EXPECT_EQ(window->backingStore()->size(), window->size());
    window->close();
}

} // namespace
} // namespace halvrick
