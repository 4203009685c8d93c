#include "ui/AtomicFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace halvrick {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AtomicFileTest, WritesIntoNewFoldersAndReplacesAnOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a/b/history.csv");
    EXPECT_FALSE(AtomicFile::write(path, "first"));
    EXPECT_EQ(contents(path), "first");
    EXPECT_FALSE(AtomicFile::write(path, "second"));
    EXPECT_EQ(contents(path), "second");
    EXPECT_EQ(QDir(dir.filePath("a/b")).entryList(QDir::Files), QStringList{"history.csv"});
}

TEST(AtomicFileTest, AFullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("card.png");
    ASSERT_FALSE(AtomicFile::write(path, "the user's old card"));
    std::optional<QString> error;
    {
        const FileSizeLimit full(64);
        error = AtomicFile::write(path, QByteArray(4096, 'x'));
    }
    EXPECT_TRUE(error);
    EXPECT_EQ(contents(path), "the user's old card");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"card.png"});
}

TEST(AtomicFileTest, AFullDiskNeverLeavesAnEmptyNewFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new.csv");
    std::optional<QString> error;
    {
        const FileSizeLimit full(0);
        error = AtomicFile::write(path, "day,sweating_minutes\n");
    }
    EXPECT_TRUE(error);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(AtomicFileTest, RefusesTargetsThatAreNotRegularFiles) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(AtomicFile::write(folder, "x"));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(AtomicFile::write(fifo, "x"));
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // A parent that is a file cannot become a folder.
    ASSERT_FALSE(AtomicFile::write(dir.filePath("plain"), "x"));
    EXPECT_TRUE(AtomicFile::write(dir.filePath("plain/child.png"), "x"));
    EXPECT_EQ(contents(dir.filePath("plain")), "x");
}

// Every save and export goes through here, so each clears the folder it writes into of the temporary
// files an earlier write cut short left there, and of nothing else.
TEST(AtomicFileTest, AWriteClearsTheFolderOfStaleTemporaryFiles) {
    QTemporaryDir dir;
    for (const QString name : {"grid.png.~q1w2e3", "grid.png.~fresh0", "grid.png.q1w2e3"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        if (name != "grid.png.~fresh0") {
            timespec times[2];
            ::clock_gettime(CLOCK_REALTIME, &times[0]);
            times[0].tv_sec -= 3600;
            times[1] = times[0];
            ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(dir.filePath(name)).constData(), times, 0), 0);
        }
    }
    EXPECT_FALSE(AtomicFile::write(dir.filePath("card.png"), "x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"card.png", "grid.png.q1w2e3", "grid.png.~fresh0"}));
}

} // namespace
} // namespace halvrick
