#include "ui/CardExport.h"

#include "FakeChooser.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class CardExportTest : public testing::Test {
protected:
    void SetUp() override {
        source = dir.filePath("Monthly Sweat Report 2026-12-08.png");
        put(source, QByteArray(2000, 'n'));
    }

    QTemporaryDir dir;
    QString source;
};

TEST_F(CardExportTest, OffersTheCardsOwnNameAsAPngAndCopiesIt) {
    FakeChooser chooser(dir.filePath("saved/report.png"));
    EXPECT_EQ(CardExport::save(source, chooser), CardExport::Outcome::saved);
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].suggestedName, "Monthly Sweat Report 2026-12-08.png");
    EXPECT_EQ(chooser.requests[0].suffix, "png");
    EXPECT_EQ(chooser.requests[0].nameFilter, "PNG image (*.png)");
    EXPECT_EQ(contents(dir.filePath("saved/report.png")), QByteArray(2000, 'n'));
    EXPECT_EQ(contents(source), QByteArray(2000, 'n'));
}

TEST_F(CardExportTest, AppendsPngToAnyOtherEnding) {
    struct Case {
        QString chosen;
        QString written;
    };
    for (const Case& c : {Case{"plain", "plain.png"}, Case{"holiday.jpg", "holiday.jpg.png"},
                          Case{"LOUD.PNG", "LOUD.PNG"}, Case{"week.", "week..png"}}) {
        FakeChooser chooser(dir.filePath(c.chosen));
        EXPECT_EQ(CardExport::save(source, chooser), CardExport::Outcome::saved) << c.chosen.toStdString();
        EXPECT_TRUE(QFile::exists(dir.filePath(c.written))) << c.written.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("holiday.jpg")));
}

TEST_F(CardExportTest, CancellingWritesNothingAndIsNoFailure) {
    FakeChooser chooser(std::nullopt);
    EXPECT_EQ(CardExport::save(source, chooser), CardExport::Outcome::cancelled);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(CardExportTest, ReplacingAnOldCardKeepsItWhenTheCopyFails) {
    const QString old = dir.filePath("mine.png");
    put(old, "the user's own picture");
    FakeChooser chooser(old);
    {
        const FileSizeLimit full(100);
        EXPECT_EQ(CardExport::save(source, chooser), CardExport::Outcome::failed);
    }
    EXPECT_EQ(contents(old), "the user's own picture");
    EXPECT_EQ(contents(source), QByteArray(2000, 'n'));

    EXPECT_EQ(CardExport::save(source, chooser), CardExport::Outcome::saved);
    EXPECT_EQ(contents(old), QByteArray(2000, 'n'));
}

TEST_F(CardExportTest, UnwritablePlacesAndAMissingCardFail) {
    put(dir.filePath("file"), "x");
    FakeChooser underAFile(dir.filePath("file/card.png"));
    EXPECT_EQ(CardExport::save(source, underAFile), CardExport::Outcome::failed);
    ASSERT_TRUE(QDir().mkpath(dir.filePath("folder.png")));
    FakeChooser aFolder(dir.filePath("folder.png"));
    EXPECT_EQ(CardExport::save(source, aFolder), CardExport::Outcome::failed);
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.png")).isDir());

    FakeChooser chooser(dir.filePath("copy.png"));
    EXPECT_EQ(CardExport::save(dir.filePath("gone.png"), chooser), CardExport::Outcome::failed);
    EXPECT_FALSE(QFile::exists(dir.filePath("copy.png")));
}

TEST_F(CardExportTest, SavingOntoTheCardItselfKeepsIt) {
    FakeChooser chooser(source);
    EXPECT_EQ(CardExport::save(source, chooser), CardExport::Outcome::saved);
    EXPECT_EQ(contents(source), QByteArray(2000, 'n'));
}

} // namespace
} // namespace halvrick
