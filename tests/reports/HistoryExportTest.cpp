#include "reports/HistoryExport.h"

#include "../ui/FileSizeLimit.h"
#include "FakeChooser.h"
#include "FixedLocale.h"
#include "HistoryFixture.h"
#include "QtTestApp.h"
#include "core/SweatCSV.h"
#include "ui/CardExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using namespace history_fixture;
using Outcome = HistoryExport::Outcome;

class HistoryExportTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    // The files of the fixture's history; a save dialog answers `chooserAnswer`.
    HistoryExport make(std::optional<QString> chooserAnswer = std::nullopt) {
        chooser = std::make_shared<FakeChooser>(std::move(chooserAnswer));
        return HistoryExport(source(ledger, chooser, cardFolder));
    }

    const FixedLocale english{"en_US"};
    StatsLedger ledger;
    QTemporaryDir cards;
    QString cardFolder = cards.path();
    std::shared_ptr<FakeChooser> chooser;
};

TEST_F(HistoryExportTest, TheCardFileIsNamedByPeriodAndDayAndReplacedTheSameDay) {
    ledger = thirteenMonths();
    const HistoryExport files = make();
    const auto week = files.reportCard(ReportPeriod::week);
    EXPECT_EQ(week.outcome, Outcome::done);
    ASSERT_TRUE(week.file);
    EXPECT_EQ(QFileInfo(*week.file).fileName(), "Sweat Report 2026-12-08.png");
    EXPECT_EQ(HistoryExport::cardFileName(ReportPeriod::week, now(), calendar()),
              "Sweat Report 2026-12-08.png");
    EXPECT_EQ(QImageReader(*week.file).size(), QSize(1200, 1200));
    ASSERT_TRUE(files.reportCard(ReportPeriod::week).file);
    const auto month = files.reportCard(ReportPeriod::month);
    ASSERT_TRUE(month.file);
    EXPECT_EQ(QFileInfo(*month.file).fileName(), "Monthly Sweat Report 2026-12-08.png");
    EXPECT_EQ(QDir(cards.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(HistoryExportTest, WithoutAPrivateFolderNoCardIsMade) {
    ledger = thirteenMonths();
    cardFolder = QString();
    const HistoryExport files = make();
    for (const HistoryExport::Card& card : {files.reportCard(ReportPeriod::week), files.gradeCard()}) {
        EXPECT_EQ(card.outcome, Outcome::failed);
        EXPECT_FALSE(card.file);
    }
}

TEST_F(HistoryExportTest, ACardIsSavedAsAPNGAndAFailedCopyKeepsTheFileThere) {
    ledger = thirteenMonths();
    QTemporaryDir target;
    const HistoryExport saving = make(target.filePath("mine"));
    const auto card = saving.reportCard(ReportPeriod::week);
    ASSERT_TRUE(card.file);
    EXPECT_EQ(saving.saveCard(*card.file, nullptr), Outcome::done);
    EXPECT_EQ(QImageReader(target.filePath("mine.png")).size(), QSize(1200, 1200));
    ASSERT_EQ(chooser->requests.size(), 1u);
    EXPECT_EQ(chooser->requests[0].suggestedName, "Sweat Report 2026-12-08.png");

    EXPECT_EQ(make(std::nullopt).saveCard(*card.file, nullptr), Outcome::cancelled);

    const QString old = target.filePath("old.png");
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the user's picture");
    file.close();
    const HistoryExport failing = make(old);
    {
        const FileSizeLimit full(64);
        EXPECT_EQ(failing.saveCard(*card.file, nullptr), Outcome::failed);
    }
    EXPECT_EQ(contents(old), "the user's picture");
}

TEST_F(HistoryExportTest, TheCSVHoldsEveryDayFromTheFirstToTodayAndKeepsTheOldFileOnFailure) {
    EXPECT_EQ(make(QStringLiteral("/never")).exportCSV(nullptr), Outcome::nothingToExport);
    EXPECT_TRUE(chooser->requests.empty());

    ledger.addHeat(90, HeatState::sweating, daysAgo(3), calendar());
    ledger.recordBreakTaken(daysAgo(0), calendar());
    QTemporaryDir target;
    const HistoryExport files = make(target.filePath("history"));
    EXPECT_EQ(files.exportCSV(nullptr), Outcome::done);
    ASSERT_EQ(chooser->requests.size(), 1u);
    EXPECT_EQ(chooser->requests[0].suggestedName, "Halvrick history.csv");
    EXPECT_EQ(contents(target.filePath("history.csv")),
              QByteArray(SweatCSV::header.data(), static_cast<int>(SweatCSV::header.size())) +
                  "\n2026-12-05,1.5,0.0,0.0,0,0\n"
                  "2026-12-06,0.0,0.0,0.0,0,0\n"
                  "2026-12-07,0.0,0.0,0.0,0,0\n"
                  "2026-12-08,0.0,0.0,0.0,0,1\n");

    ledger.recordBreakTaken(daysAgo(0), calendar());
    {
        const FileSizeLimit full(16);
        EXPECT_EQ(files.exportCSV(nullptr), Outcome::failed);
    }
    EXPECT_TRUE(contents(target.filePath("history.csv")).endsWith("2026-12-08,0.0,0.0,0.0,0,1\n"));

    EXPECT_EQ(make(std::nullopt).exportCSV(nullptr), Outcome::cancelled);
}

TEST_F(HistoryExportTest, TheGradeCardNeedsAGradeForToday) {
    ledger.addActive(300, daysAgo(0), calendar());
    const auto early = make().gradeCard();
    EXPECT_EQ(early.outcome, Outcome::nothingToExport);
    EXPECT_FALSE(early.file);

    ledger = thirteenMonths();
    const HistoryExport files = make();
    const auto first = files.gradeCard();
    EXPECT_EQ(first.outcome, Outcome::done);
    ASSERT_TRUE(first.file);
    EXPECT_EQ(QFileInfo(*first.file).fileName(), "Halvrick Grade 2026-12-08.png");
    EXPECT_EQ(QImageReader(*first.file).size(), QSize(1200, 1200));
    EXPECT_EQ(files.gradeCard().file, first.file);
    EXPECT_EQ(QDir(cards.path()).entryList(QDir::Files).size(), 1);
    QFile::copy(*first.file, QCoreApplication::applicationDirPath() + "/history-grade-card.png");
}

} // namespace
} // namespace halvrick
