// Every window on a small screen: run once per screen, with the screen given through the offscreen
// platform's options (and QT_SCALE_FACTOR for the doubled one).

#include "../../reports/CardWindowTestSupport.h"
#include "../../settings/SettingsTestSupport.h"
#include "artwork/ArtworkLabView.h"
#include "artwork/ArtworkLabWindowController.h"
#include "reports/CardWindowView.h"
#include "reports/HistoryWindowController.h"
#include "reports/RoastWindowController.h"
#include "reports/VitalsWindowController.h"
#include "reports/WrappedWindowController.h"
#include "settings/FirstRunWindowController.h"
#include "settings/SettingsView.h"
#include "settings/SettingsWindowController.h"
#include "ui/WindowShell.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <memory>

namespace halvrick {
namespace {

// Started by hand with no screen named, it runs on the smaller one, before the application is made.
[[maybe_unused]] const bool screenChosen = [] {
    if (!qEnvironmentVariableIsSet("HALVRICK_FIT_SCREEN")) {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" HALVRICK_FIT_SCREENS "/1280x720.json");
        qputenv("HALVRICK_FIT_SCREEN", "1280x720");
    }
    return true;
}();

void settle() {
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents();
    }
}

QScreen& screen() {
    return *QGuiApplication::primaryScreen();
}

// The picture of each window, named after the screen in device pixels, when HALVRICK_SCREENSHOTS
// names a folder.
void screenshot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("HALVRICK_SCREENSHOTS");
    if (folder.isEmpty()) {
        return;
    }
    const QSize device = screen().geometry().size() * screen().devicePixelRatio();
    const QString path =
        QStringLiteral("%1/%2-%3x%4.png").arg(folder, name).arg(device.width()).arg(device.height());
    QDir().mkpath(folder);
    EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
}

// Whether `widget` lies in a scroll area's viewport, where it is reached by scrolling.
bool scrolled(const QWidget& widget, const QWidget& window) {
    for (const QWidget* up = widget.parentWidget(); up && up != &window; up = up->parentWidget()) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(up->parentWidget());
        if (area && area->viewport() == up) {
            return true;
        }
    }
    return false;
}

// Everything the window shows can be seen or scrolled to: the frame lies on the screen, the layout got
// at least its minimum, a widget outside a scroll area lies inside the window, and a scroll area whose
// content is larger than its viewport scrolls that way.
void expectReachable(QWidget& window, const char* name) {
    SCOPED_TRACE(name);
    settle();
    const QRect available = screen().availableGeometry();
    EXPECT_TRUE(available.contains(window.frameGeometry()))
        << "frame " << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
        << window.frameGeometry().width() << "x" << window.frameGeometry().height() << " on "
        << available.width() << "x" << available.height();
    ASSERT_NE(window.layout(), nullptr);
    const QSize least = window.layout()->totalMinimumSize();
    EXPECT_TRUE(least.width() <= window.width() && least.height() <= window.height())
        << "needs " << least.width() << "x" << least.height() << ", has " << window.width() << "x"
        << window.height();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || widget->isWindow()) {
            continue;
        }
        if (scrolled(*widget, window)) {
            continue;
        }
        const QRect placed(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(window.rect().contains(placed))
            << widget->metaObject()->className() << " " << widget->objectName().toStdString() << " at "
            << placed.y() << "+" << placed.height() << " in " << window.height();
    }
    for (const QScrollArea* area : window.findChildren<QScrollArea*>()) {
        if (!area->isVisibleTo(&window) || !area->widget()) {
            continue;
        }
        if (area->widget()->height() > area->viewport()->height()) {
            EXPECT_NE(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            EXPECT_GE(area->verticalScrollBar()->maximum(),
                      area->widget()->height() - area->viewport()->height());
        }
        if (area->widget()->width() > area->viewport()->width()) {
            EXPECT_NE(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff)
                << area->widget()->width() << " wide in " << area->viewport()->width();
        }
    }
}

// Where the screen allows it a window keeps its designed size.
void expectDesignedSize(const QWidget& window, QSize designed) {
    EXPECT_EQ(window.size(), designed.boundedTo(WindowShell::room(window)));
}

class WindowFitTest : public CardWindowTest {
protected:
    void SetUp() override {
        CardWindowTest::SetUp();
        // The screen the test was started for, so that a platform that ignored it cannot pass unseen.
        const QString expected = qEnvironmentVariable("HALVRICK_FIT_SCREEN");
        ASSERT_FALSE(expected.isEmpty()) << "run with HALVRICK_FIT_SCREEN=<width>x<height>";
        const QSize available = screen().availableGeometry().size();
        ASSERT_EQ(QStringLiteral("%1x%2").arg(available.width()).arg(available.height()), expected);
        // A week with a culprit, so the reports show their sections.
        model->ingestProcesses(
            fakes::processSample(world.now, 2, {{AppKey::system(), 2}, {fakes::app("Firefox"), 1}}));
        for (int second = 0; second < 90; ++second) {
            tick(85);
        }
    }

    testing_support::FakeLoginItem loginItem;
    testing_support::FakeNotificationServer server;
};

TEST_F(WindowFitTest, FirstRun) {
    FirstRunWindowController controller;
    controller.show({*settings, server, loginItem, AppIdentity(), worldClock()}, [] {});
    ASSERT_NE(controller.window(), nullptr);
    expectReachable(*controller.window(), "first run");
    screenshot(*controller.window(), QStringLiteral("first-run"));
}

TEST_F(WindowFitTest, SettingsWithBothTabs) {
    SettingsWindowController controller(*settings, server, loginItem, {}, {});
    controller.show();
    QWidget& window = *controller.window();
    expectDesignedSize(window, QSize(SettingsView::width, SettingsView::height));
    QTabWidget& tabs = *controller.view()->tabs();
    for (int tab = 0; tab < tabs.count(); ++tab) {
        tabs.setCurrentIndex(tab);
        const std::string name = tabs.tabText(tab).toStdString();
        expectReachable(window, name.c_str());
        EXPECT_NE(qobject_cast<QScrollArea*>(tabs.widget(tab)), nullptr) << name;
        screenshot(window, QStringLiteral("settings-") + tabs.tabText(tab).toLower());
    }
}

TEST_F(WindowFitTest, History) {
    HistoryWindowController controller(
        *model, [this] { return world.now; }, [this] { return world.calendar; },
        std::make_shared<FakeChooser>(std::nullopt));
    controller.show();
    expectDesignedSize(*controller.window(), QSize(760, 760));
    expectReachable(*controller.window(), "history");
    screenshot(*controller.window(), QStringLiteral("history"));
}

TEST_F(WindowFitTest, Vitals) {
    VitalsWindowController controller(*model, {[this] { return world.now; },
                                               [this] { return world.calendar; },
                                               {{"downloads", "Downloads", "/home/pea/Downloads"}},
                                               [](const QUrl&) { return true; }});
    controller.show();
    expectDesignedSize(*controller.window(), QSize(560, 520));
    expectReachable(*controller.window(), "vitals");
    screenshot(*controller.window(), QStringLiteral("vitals"));
}

TEST_F(WindowFitTest, ArtworkLab) {
    ArtworkLabWindowController controller;
    controller.show();
    expectDesignedSize(*controller.window(), QSize(1100, 760));
    expectReachable(*controller.window(), "artwork lab");
    screenshot(*controller.window(), QStringLiteral("artwork-lab"));
}

// The card shrinks on screen to fit; the picture it saves keeps its full size.
TEST_F(WindowFitTest, CardWindowsScaleTheirCardButNotItsPicture) {
    RoastWindowController roast(*model, worldClock(), dialog(std::nullopt));
    roast.show();
    ASSERT_NE(roast.window(), nullptr);
    WrappedWindowController wrapped(*model, worldClock(), dialog(std::nullopt));
    wrapped.showSample();
    ASSERT_NE(wrapped.window(), nullptr);
    struct Card {
        const char* name;
        QWidget& window;
        CardWindowView& view;
    };
    for (const Card& card : {Card{"roast", *roast.window(), *roast.view()},
                             Card{"weekly summary", *wrapped.window(), *wrapped.view()}}) {
        expectReachable(card.window, card.name);
        const QSize shown = card.view.card().size();
        EXPECT_EQ(shown.width(), shown.height()) << card.name;
        EXPECT_LE(shown.width(), 600) << card.name;
        const std::optional<QString> path = card.view.exportFile();
        ASSERT_TRUE(path) << card.name;
        EXPECT_EQ(QImageReader(*path).size(), QSize(1200, 1200)) << card.name;
        screenshot(card.window, QString::fromUtf8(card.name).replace(QLatin1Char(' '), QLatin1Char('-')));
    }
}

} // namespace
} // namespace halvrick
