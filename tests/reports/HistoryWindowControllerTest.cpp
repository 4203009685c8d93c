#include "reports/HistoryWindowController.h"

#include "../model/AppModelFakes.h"
#include "FakeChooser.h"
#include "QtTestApp.h"
#include "model/SettingsStore.h"
#include "reports/HistoryView.h"
#include "reports/StatTile.h"
#include "ui/SegmentedControl.h"
#include "ui/WindowShell.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

class HistoryWindowControllerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        settings = std::make_unique<SettingsStore>(*world.defaults);
        model = std::make_unique<AppModel>(Config::defaults(), *settings, notifier, world.services());
        controller = std::make_unique<HistoryWindowController>(
            *model, [this] { return world.now; }, [this] { return world.calendar; },
            std::make_shared<FakeChooser>(std::nullopt));
    }

    fakes::FakeWorld world;
    fakes::FakeNotifier notifier;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<AppModel> model;
    std::unique_ptr<HistoryWindowController> controller;
};

TEST_F(HistoryWindowControllerTest, EveryShowBringsBackTheSameWindowAtTheWeekWithNoMessage) {
    EXPECT_FALSE(controller->window());
    controller->show();
    QWidget* window = controller->window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "History & Trends");
    // The designed sizes, as far as the test's screen has room for them.
    EXPECT_EQ(window->minimumSize(), QSize(720, 640).boundedTo(WindowShell::room(*window)));
    EXPECT_EQ(window->size(), QSize(760, 760).boundedTo(WindowShell::room(*window)));
    EXPECT_TRUE(window->isVisible());

    HistoryView* first = controller->view();
    first->setPeriod(ReportPeriod::month);
    first->exportCSV();
    EXPECT_FALSE(first->message().isEmpty());
    window->move(window->pos() + QPoint(40, 30));
    const QPoint moved = window->pos();
    window->close();
    EXPECT_FALSE(window->isVisible());

    controller->show();
    EXPECT_EQ(controller->window(), window);
    EXPECT_EQ(window->pos(), moved);
    EXPECT_TRUE(window->isVisible());
    HistoryView* second = controller->view();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->period(), ReportPeriod::week);
    EXPECT_EQ(second->picker().currentIndex(), 0);
    EXPECT_TRUE(second->message().isEmpty());
    // The old view is gone, not hidden behind the new one.
    EXPECT_EQ(window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(HistoryWindowControllerTest, AClosedWindowKeepsNoView) {
    controller->show();
    QPointer<HistoryView> view = controller->view();
    ASSERT_TRUE(view);
    controller->window()->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(view);
    EXPECT_FALSE(controller->view());
    controller->show();
    EXPECT_TRUE(controller->view());
}

TEST_F(HistoryWindowControllerTest, ShowingEndsAChallengeThatIsOverAndSaysSo) {
    settings->setNotificationsEnabled(true);
    model->startChallenge(ChallengeKind::breakHabit, world.calendar.addingDays(-6, world.now));
    ASSERT_FALSE(model->challengeResult());
    controller->show();
    EXPECT_TRUE(model->challengeResult());
    EXPECT_EQ(model->activeChallenge(), std::nullopt);
    EXPECT_EQ(notifier.sent.size(), 1u);
}

TEST_F(HistoryWindowControllerTest, AnOpenWindowFollowsTheLedgerOnceAMinute) {
    controller->show();
    HistoryView* view = controller->view();
    EXPECT_TRUE(view->showsEmptyState());
    model->stats().ledger().addActive(1200, world.now, world.calendar);
    emit model->cpuLoadChanged();
    QCoreApplication::processEvents();
    EXPECT_TRUE(view->showsEmptyState());

    world.advance(60);
    emit model->cpuLoadChanged();
    QCoreApplication::processEvents();
    EXPECT_FALSE(view->showsEmptyState());
    EXPECT_EQ(view->summaryTiles()[2]->value(), "20 min");

    model->seedSampleWeek();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->summaryTiles()[4]->value(), "7");
}

// The challenge card follows the day while the window stays open across midnight, and the minute's
// refresh builds a new card only when what it shows changed.
TEST_F(HistoryWindowControllerTest, AnOpenWindowsChallengeFollowsTheDay) {
    const auto shown = [this](const QString& text) {
        for (QWidget* widget : controller->window()->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(widget);
            const auto* button = qobject_cast<QAbstractButton*>(widget);
            const QString said = label ? label->text() : button ? button->text() : widget->accessibleName();
            if (said == text && widget->isVisibleTo(controller->window())) {
                return widget;
            }
        }
        return static_cast<QWidget*>(nullptr);
    };
    const auto minuteLater = [this](double seconds) {
        world.advance(seconds);
        emit model->cpuLoadChanged();
        // The refresh runs on the next turn of the loop, and a new card shows on the one after.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    model->stats().ledger().addActive(1200, world.now, world.calendar);
    // Wednesday, the day before the world's Thursday morning.
    model->startChallenge(ChallengeKind::breakHabit, world.calendar.addingDays(-1, world.now));
    controller->show();
    EXPECT_TRUE(shown(QStringLiteral("Day 2 of 7")));
    EXPECT_TRUE(shown(QStringLiteral("Thu: today, not met yet")));
    QWidget* giveUp = shown(QStringLiteral("Give up"));
    ASSERT_TRUE(giveUp);

    minuteLater(60);
    EXPECT_EQ(shown(QStringLiteral("Give up")), giveUp) << "nothing changed, nothing rebuilt";

    model->stats().ledger().recordBreakTaken(world.now, world.calendar);
    minuteLater(60);
    EXPECT_TRUE(shown(QStringLiteral("Thu: met")));
    EXPECT_TRUE(shown(QStringLiteral("1 of 5 days met")));

    // Friday, just after midnight.
    minuteLater(world.calendar.date(2026, 3, 6, 0, 0, 30) - world.now);
    EXPECT_TRUE(shown(QStringLiteral("Day 3 of 7")));
    EXPECT_FALSE(shown(QStringLiteral("Day 2 of 7")));
    EXPECT_TRUE(shown(QStringLiteral("Thu: met")));
    EXPECT_TRUE(shown(QStringLiteral("Fri: today, not met yet")));
}

} // namespace
} // namespace halvrick
