#include "ui/WindowShell.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
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

} // namespace
} // namespace halvrick
