#include "reports/HistoryView.h"

#include "FakeChooser.h"
#include "../ui/FileSizeLimit.h"
#include "FixedLocale.h"
#include "HistoryFixture.h"
#include "QtTestApp.h"
#include "reports/CulpritList.h"
#include "reports/HistoryChartView.h"
#include "reports/StatTile.h"
#include "reports/SweatCalendarView.h"
#include "reports/WrappedCard.h"
#include "ui/SegmentedControl.h"
#include "ui/ShareButton.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using namespace history_fixture;

// The view in a window at the window's minimum size, never on a screen.
class HistoryViewTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    const FixedLocale english{"en_US"};

    HistoryView& make(std::optional<QString> chooserAnswer = std::nullopt) {
        chooser = std::make_shared<FakeChooser>(std::move(chooserAnswer));
        window = std::make_unique<QWidget>();
        window->setAttribute(Qt::WA_DontShowOnScreen);
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        view = new HistoryView(source(ledger, chooser, cardFolder), window.get());
        layout->addWidget(view);
        window->resize(720, 640);
        window->show();
        return *view;
    }

    // Looked at by hand: the build folder keeps one picture per state.
    void screenshot(const QString& name) {
        window->layout()->activate();
        QCoreApplication::processEvents();
        const QString path = QCoreApplication::applicationDirPath() + "/history-" + name + ".png";
        EXPECT_TRUE(window->grab().save(path, "PNG")) << path.toStdString();
    }

    void choose(ReportPeriod period) { view->picker().button(static_cast<int>(period))->click(); }

    StatsLedger ledger;
    QTemporaryDir cards;
    QString cardFolder = cards.path();
    std::shared_ptr<FakeChooser> chooser;
    std::unique_ptr<QWidget> window;
    HistoryView* view = nullptr;
};

TEST_F(HistoryViewTest, AnEmptyLedgerShowsTheDozingPeaAndOffersNothing) {
    HistoryView& history = make();
    EXPECT_EQ(history.period(), ReportPeriod::week);
    EXPECT_EQ(history.picker().currentIndex(), 0);
    EXPECT_TRUE(history.showsEmptyState());
    EXPECT_EQ(history.emptyTitle().text(), "No sweat this week. Yet.");
    EXPECT_EQ(history.rangeLabel().text(),
              "Use the computer for a little while and I'll start keeping score.");
    EXPECT_FALSE(history.saveButton().isEnabled());
    EXPECT_FALSE(history.shareButton().isEnabled());
    EXPECT_FALSE(history.csvButton().isEnabled());
    EXPECT_TRUE(history.doneButton().isEnabled());
    EXPECT_TRUE(history.message().isEmpty());
    screenshot("empty");

    const std::vector<std::pair<ReportPeriod, QString>> lines{
        {ReportPeriod::month, "No sweat this month. Yet."},
        {ReportPeriod::year, "No sweat this year. Yet."},
        {ReportPeriod::allTime, "No sweat on record. Yet."}};
    for (const auto& [period, line] : lines) {
        choose(period);
        EXPECT_EQ(history.period(), period);
        EXPECT_EQ(history.emptyTitle().text(), line);
    }

    history.exportCSV();
    EXPECT_EQ(history.message(), "Use the computer for a little while and I'll start keeping score.");
    EXPECT_TRUE(chooser->requests.empty());
}

TEST_F(HistoryViewTest, AnEmptyWeekWithOlderDataOffersOnlyTheCSV) {
    ledger.addHeat(300, HeatState::sweating, daysAgo(20), calendar());
    // A row of zeros is no data.
    ledger.addActive(0, daysAgo(2), calendar());
    HistoryView& history = make();
    EXPECT_TRUE(history.showsEmptyState());
    EXPECT_FALSE(history.saveButton().isEnabled());
    EXPECT_FALSE(history.shareButton().isEnabled());
    EXPECT_TRUE(history.csvButton().isEnabled());
    choose(ReportPeriod::month);
    EXPECT_FALSE(history.showsEmptyState());
    EXPECT_TRUE(history.saveButton().isEnabled());
    EXPECT_TRUE(history.shareButton().isEnabled());
}

TEST_F(HistoryViewTest, OneBreakIsEnoughDataAndTheCalendarComesOnlyWithTheYear) {
    ledger.recordBreakTaken(daysAgo(0), calendar());
    HistoryView& history = make();
    EXPECT_FALSE(history.showsEmptyState());
    EXPECT_FALSE(history.showsCalendar());
    EXPECT_EQ(history.rangeLabel().text(), "Dec 8 – Dec 8");
    choose(ReportPeriod::month);
    EXPECT_FALSE(history.showsCalendar());
    choose(ReportPeriod::year);
    EXPECT_TRUE(history.showsCalendar());
    choose(ReportPeriod::allTime);
    EXPECT_TRUE(history.showsCalendar());
    // The calendar spans the last 365 days whatever the period: 53 columns.
    EXPECT_EQ(history.heatmap().weeks().size(), 53u);
}

TEST_F(HistoryViewTest, SummaryAndCalendarTilesReadThePeriod) {
    ledger.addHeat(5400, HeatState::sweating, daysAgo(1), calendar());
    ledger.addHeat(600, HeatState::meltdown, daysAgo(1), calendar());
    ledger.addActive(7200, daysAgo(1), calendar());
    ledger.recordStretch(2700, daysAgo(1), calendar());
    ledger.recordBreakTaken(daysAgo(1), calendar());
    ledger.recordBreakTaken(daysAgo(0), calendar());
    HistoryView& history = make();
    std::vector<std::pair<QString, QString>> tiles;
    for (const StatTile* tile : history.summaryTiles()) {
        tiles.emplace_back(tile->value(), tile->label());
    }
    const std::vector<std::pair<QString, QString>> expected{
        {"1 h 40 min", "Hot time"}, {"10 min", "Meltdown"}, {"2 h", "At the computer"},
        {"2", "Breaks taken"},      {"2", "Days tracked"},  {"45 min", "Longest stretch"}};
    EXPECT_EQ(tiles, expected);

    choose(ReportPeriod::year);
    const auto& calendarTiles = history.calendarTiles();
    EXPECT_EQ(calendarTiles[0]->value(), "1 h 40 min");
    EXPECT_EQ(calendarTiles[0]->label(), QString::fromUtf8("Worst day · Dec 7"));
    EXPECT_EQ(calendarTiles[1]->value(), "2 days");
    EXPECT_EQ(calendarTiles[1]->label(), "Rest streak");
    EXPECT_EQ(calendarTiles[2]->value(), "2");
    EXPECT_EQ(calendarTiles[2]->label(), "Days with a break");
}

// The header and the worst day write their dates in the user's locale, the style of the weekly summary
// for the same week.
TEST_F(HistoryViewTest, DatesFollowTheUsersLocaleAsTheWeeklySummarysDo) {
    ledger.addHeat(600, HeatState::sweating, daysAgo(6), calendar());
    ledger.addHeat(1200, HeatState::sweating, daysAgo(1), calendar());
    ledger.addActive(60, daysAgo(0), calendar());
    const struct {
        const char* locale;
        const char* range;
        const char* worstDay;
    } rows[] = {
        {"en_US", "Dec 2 – Dec 8", "Worst day · Dec 7"},
        {"en_GB", "2 Dec – 8 Dec", "Worst day · 7 Dec"},
        {"de_DE", "2. Dez. – 8. Dez.", "Worst day · 7. Dez."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        const FixedLocale locale(row.locale);
        HistoryView& history = make();
        EXPECT_EQ(history.rangeLabel().text(), QString::fromUtf8(row.range));
        const WrappedSummary week(ledger.totals(7, now(), calendar()), now(), calendar());
        EXPECT_EQ(WrappedCardData::of(week, calendar(), {}).range, history.rangeLabel().text());
        choose(ReportPeriod::year);
        EXPECT_EQ(history.calendarTiles()[0]->label(), QString::fromUtf8(row.worstDay));
    }
}

TEST_F(HistoryViewTest, NoHeatAllYearReadsADashAndStreaksCountInDays) {
    struct Case {
        std::vector<int> breakDaysAgo;
        QString streak;
    };
    for (const Case& c :
         {Case{{}, "0 days"}, Case{{0}, "1 day"}, Case{{1}, "1 day"}, Case{{0, 1, 2}, "3 days"}}) {
        ledger = StatsLedger();
        ledger.addActive(600, daysAgo(3), calendar());
        for (const int back : c.breakDaysAgo) {
            ledger.recordBreakTaken(daysAgo(back), calendar());
        }
        HistoryView& history = make();
        choose(ReportPeriod::year);
        EXPECT_EQ(history.calendarTiles()[0]->value(), QString::fromUtf8("—"));
        EXPECT_EQ(history.calendarTiles()[0]->label(), "Worst day");
        EXPECT_EQ(history.calendarTiles()[1]->value(), c.streak);
    }
}

TEST_F(HistoryViewTest, CulpritListsStopAtFiveAndTen) {
    for (int i = 0; i < 12; ++i) {
        const AppKey app =
            i % 2 == 0
                ? AppKey(AppKey::Kind::app, "/apps/app" + std::to_string(i) + ".desktop",
                         "App " + std::to_string(i))
                : AppKey(AppKey::Kind::process, "proc" + std::to_string(i), "proc" + std::to_string(i));
        // Seven of them this week, the rest long ago.
        ledger.addSweat(1000.0 - i, app, daysAgo(i < 7 ? 1 : 100), calendar());
    }
    ledger.addActive(600, daysAgo(1), calendar());
    HistoryView& history = make();
    EXPECT_EQ(history.culprits().visibleRows(), 5);
    EXPECT_EQ(history.culprits().row(0).rank(), "1");
    EXPECT_EQ(history.culprits().row(4).rank(), "5");
    EXPECT_EQ(history.culprits().row(0).name(), "App 0");
    EXPECT_EQ(history.culprits().row(0).duration(), "17 min");
    EXPECT_EQ(history.culprits().row(0).key().kind, AppKey::Kind::app);
    EXPECT_EQ(history.culprits().row(1).key().kind, AppKey::Kind::process);
    EXPECT_EQ(history.hallOfFlame().visibleRows(), 10);
    EXPECT_EQ(history.hallOfFlame().row(9).rank(), "10");
    EXPECT_FALSE(history.culprits().showsEmptyText());
}

TEST_F(HistoryViewTest, AChillPeriodHasNobodyWhileTheHallOfFlameRemembers) {
    ledger.addSweat(900, AppKey(AppKey::Kind::process, "rustc", "rustc"), daysAgo(100), calendar());
    ledger.addActive(600, daysAgo(1), calendar());
    HistoryView& history = make();
    EXPECT_TRUE(history.culprits().showsEmptyText());
    EXPECT_EQ(history.culprits().visibleRows(), 0);
    EXPECT_FALSE(history.hallOfFlame().showsEmptyText());
    EXPECT_EQ(history.hallOfFlame().row(0).name(), "rustc");
}

TEST_F(HistoryViewTest, BlameHistoryListsOnlyTopCulpritsOfTheLastThirtyDays) {
    ledger.addActive(600, daysAgo(0), calendar());
    HistoryView& empty = make();
    EXPECT_TRUE(empty.blameHistory().showsEmptyText());
    EXPECT_TRUE(empty.blameHistory().lead().isEmpty());

    // Seven applications each top on their own days; one that sweats but never tops.
    for (int i = 0; i < 7; ++i) {
        const AppKey app(AppKey::Kind::app, "/apps/" + std::to_string(i) + ".desktop",
                         "App " + std::to_string(i));
        for (int day = 0; day <= 6 - i; ++day) {
            ledger.addSweat(600, app, daysAgo(1 + i * 3 + day % 3), calendar());
        }
    }
    ledger.addSweat(61, AppKey(AppKey::Kind::process, "helper", "helper"), daysAgo(1), calendar());
    HistoryView& history = make();
    EXPECT_EQ(history.blameHistory().visibleRows(), 5);
    EXPECT_FALSE(history.blameHistory().lead().isEmpty());
    EXPECT_TRUE(history.blameHistory().lead().startsWith("App 0 was the top culprit on"));
    for (int i = 0; i < history.blameHistory().visibleRows(); ++i) {
        EXPECT_NE(history.blameHistory().row(i).name(), "helper");
    }
}

TEST_F(HistoryViewTest, ABlameLeadOfOneDayIsSingular) {
    ledger.addSweat(600, AppKey(AppKey::Kind::process, "rustc", "rustc"), daysAgo(2), calendar());
    ledger.addActive(600, daysAgo(2), calendar());
    HistoryView& history = make();
    ASSERT_EQ(history.blameHistory().visibleRows(), 1);
    EXPECT_EQ(history.blameHistory().lead(), "rustc was the top culprit on one of the last 30 days.");
    EXPECT_EQ(history.blameHistory().row(0).caption(), "1 day");
    EXPECT_EQ(history.blameHistory().row(0).key().kind, AppKey::Kind::process);
}

TEST_F(HistoryViewTest, TheCardIsOfThePickedPeriodAndMakingItSaysNothing) {
    ledger = thirteenMonths();
    HistoryView& history = make();
    const auto week = history.exportFile();
    ASSERT_TRUE(week);
    EXPECT_EQ(QFileInfo(*week).fileName(), "Sweat Report 2026-12-08.png");
    choose(ReportPeriod::month);
    const auto month = history.exportFile();
    ASSERT_TRUE(month);
    EXPECT_EQ(QFileInfo(*month).fileName(), "Monthly Sweat Report 2026-12-08.png");
    EXPECT_TRUE(history.message().isEmpty());
}

TEST_F(HistoryViewTest, SavingTheCardReportsOnlySuccessAndFailure) {
    ledger = thirteenMonths();
    QTemporaryDir target;
    {
        HistoryView& history = make(target.filePath("mine"));
        history.saveButton().click();
        EXPECT_EQ(history.message(), "Saved.");
        EXPECT_EQ(QImageReader(target.filePath("mine.png")).size(), QSize(1200, 1200));
        ASSERT_EQ(chooser->requests.size(), 1u);
        EXPECT_EQ(chooser->requests[0].suggestedName, "Sweat Report 2026-12-08.png");
    }
    {
        // Cancelling is no failure: no line for it.
        HistoryView& history = make(std::nullopt);
        history.saveButton().click();
        EXPECT_TRUE(history.message().isEmpty());
    }
    {
        HistoryView& history = make(target.filePath("full"));
        {
            const FileSizeLimit full(64);
            history.saveButton().click();
        }
        EXPECT_EQ(history.message(), "Couldn't make the image. Try again?");
    }
    {
        // No private folder: nothing to offer.
        cardFolder = QString();
        HistoryView& history = make(target.filePath("never"));
        EXPECT_FALSE(history.exportFile());
        EXPECT_EQ(history.message(), "Couldn't make the image. Try again?");
        history.shareButton().click();
        EXPECT_FALSE(history.shareButton().menu());
    }
}

TEST_F(HistoryViewTest, TheCSVButtonSaysWhetherTheFileWasSaved) {
    ledger.addHeat(90, HeatState::sweating, daysAgo(3), calendar());
    ledger.recordBreakTaken(daysAgo(0), calendar());
    QTemporaryDir target;
    HistoryView& history = make(target.filePath("history"));
    ASSERT_TRUE(history.csvButton().isEnabled());
    history.csvButton().click();
    EXPECT_EQ(history.message(), "CSV saved.");
    ASSERT_EQ(chooser->requests.size(), 1u);
    EXPECT_TRUE(contents(target.filePath("history.csv")).endsWith("2026-12-08,0.0,0.0,0.0,0,1\n"));

    {
        const FileSizeLimit full(16);
        history.exportCSV();
    }
    EXPECT_EQ(history.message(), "Couldn't make the image. Try again?");

    HistoryView& cancelled = make(std::nullopt);
    cancelled.exportCSV();
    EXPECT_TRUE(cancelled.message().isEmpty());
}

TEST_F(HistoryViewTest, TheGradeCardNeedsAGradeForToday) {
    ledger.addActive(300, daysAgo(0), calendar());
    HistoryView& early = make();
    EXPECT_FALSE(early.gradeFile());
    EXPECT_EQ(early.message(), "There isn't a grade for today yet.");

    ledger = thirteenMonths();
    HistoryView& history = make();
    const auto card = history.gradeFile();
    ASSERT_TRUE(card);
    EXPECT_EQ(QFileInfo(*card).fileName(), "Halvrick Grade 2026-12-08.png");
    EXPECT_TRUE(history.message().isEmpty());
}

TEST_F(HistoryViewTest, ThirteenMonthsOfDozensOfAppsInEveryPeriod) {
    ledger = thirteenMonths();
    HistoryView& history = make();
    for (const ReportPeriod period : allReportPeriods) {
        choose(period);
        EXPECT_FALSE(history.showsEmptyState());
        EXPECT_EQ(history.chart().content().bars.size(),
                  period == ReportPeriod::allTime ? 401u : static_cast<std::size_t>(*dayCount(period)));
        EXPECT_LE(history.chart().content().ticks.size(), 7u);
        screenshot(QString::fromUtf8(toString(period).data()));
        // The whole column, as it scrolls.
        QWidget* column = history.sections().widget();
        column->grab().save(QCoreApplication::applicationDirPath() + "/history-" +
                            QString::fromUtf8(toString(period).data()) + "-column.png");
        if (period == ReportPeriod::week || period == ReportPeriod::allTime) {
            const auto card = history.exportFile();
            ASSERT_TRUE(card);
            QFile::remove(QCoreApplication::applicationDirPath() + "/history-card-" +
                          QString::fromUtf8(toString(period).data()) + ".png");
            QFile::copy(*card, QCoreApplication::applicationDirPath() + "/history-card-" +
                                   QString::fromUtf8(toString(period).data()) + ".png");
        }
    }
    // Every section fits the window's width: nothing scrolls sideways.
    EXPECT_LE(history.sections().widget()->minimumSizeHint().width(), history.sections().viewport()->width());
}

TEST_F(HistoryViewTest, EscapeAndDoneCloseTheWindow) {
    ledger.addActive(600, daysAgo(0), calendar());
    make();
    window->activateWindow();
    view->doneButton().click();
    EXPECT_FALSE(window->isVisible());
    window->show();
    QShortcut* escape = nullptr;
    for (QShortcut* shortcut : view->findChildren<QShortcut*>()) {
        if (shortcut->key() == QKeySequence(Qt::Key_Escape)) {
            escape = shortcut;
        }
    }
    ASSERT_TRUE(escape);
    emit escape->activated();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace halvrick
