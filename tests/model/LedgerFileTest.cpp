#include "model/LedgerFile.h"

#include "StoreTestSupport.h"
#include "storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using namespace std::chrono_literals;
using namespace testing_support;
using testing_support::readBytes;
using testing_support::writeBytes;

// Accepts any object holding an integer "n".
std::function<void(const json::Json&)> decodeInto(std::optional<std::int64_t>& out) {
    return [&out](const json::Json& value) { out = json::required<std::int64_t>(value, "n"); };
}

TEST(LedgerFileTest, MissingFileStartsEmptyAndTheWriteCreatesTheFolders) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/a/b/ledger.json";
    LedgerFile file(path);
    std::optional<std::int64_t> n;
    EXPECT_EQ(file.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::missing);
    EXPECT_FALSE(n);

    ASSERT_TRUE(file.write(json::Json{{"n", 7}}));
    EXPECT_EQ(file.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::loaded);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(QDir(tmp.path() + "/a/b").entryList(QDir::Files), QStringList{"ledger.json"});
}

TEST(LedgerFileTest, UnreadableFilesAreMovedAsideWithoutClobberingEarlierOnes) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/ledger.json";
    const QString aside = path + ".unreadable-2026-03-05";
    std::optional<std::int64_t> n;

    writeBytes(path, "{\"n\": \"seven\"}");
    LedgerFile first(path);
    EXPECT_EQ(first.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::unreadable);
    EXPECT_EQ(first.setAsidePath(), aside);
    EXPECT_EQ(readBytes(aside), "{\"n\": \"seven\"}");
    EXPECT_FALSE(QFile::exists(path));

    // The same day, another broken file; and a dangling link already holding the third name.
    writeBytes(path, "\x89PNG\r\n");
    ASSERT_TRUE(QFile::link(tmp.path() + "/nowhere", aside + "-2"));
    LedgerFile second(path);
    EXPECT_EQ(second.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::unreadable);
    EXPECT_EQ(second.setAsidePath(), aside + "-3");
    EXPECT_EQ(readBytes(aside + "-3"), "\x89PNG\r\n");
    EXPECT_EQ(readBytes(aside), "{\"n\": \"seven\"}");

    ASSERT_TRUE(second.write(json::Json{{"n", 1}}));
    EXPECT_EQ(readBytes(aside + "-3"), "\x89PNG\r\n");
    EXPECT_FALSE(n);
}

TEST(LedgerFileTest, AFileKeptAsReadIsCopiedBeforeAnyWriteReplacesIt) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/ledger.json";
    const QString kept = path + ".original-2026-03-05";
    writeBytes(path, "{\"n\": -1}");
    ASSERT_TRUE(QFile::link(tmp.path() + "/nowhere", kept));
    LedgerFile file(path);
    std::optional<std::int64_t> n;
    EXPECT_EQ(file.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::loaded);
    file.keepOriginal("2026-03-05");
    EXPECT_EQ(file.originalPath(), kept + "-2");
    ASSERT_TRUE(file.write(json::Json{{"n", 0}}));
    EXPECT_EQ(readBytes(kept + "-2"), "{\"n\": -1}");
    EXPECT_EQ(readBytes(path), "{\"n\":0}");

    // No room for the copy's name: the file is never replaced.
    const QString longPath = tmp.path() + "/" + QString(240, 'x') + ".json";
    writeBytes(longPath, "{\"n\": -2}");
    LedgerFile unkept(longPath);
    EXPECT_EQ(unkept.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::loaded);
    unkept.keepOriginal("2026-03-05");
    EXPECT_FALSE(unkept.originalPath());
    EXPECT_FALSE(unkept.write(json::Json{{"n", 0}}));
    EXPECT_EQ(readBytes(longPath), "{\"n\": -2}");
}

TEST(LedgerFileTest, AFileThatCannotBeMovedAsideIsNeverOverwritten) {
    QTemporaryDir tmp;
    // The name leaves no room for the suffix, so the rename fails even for root.
    const QString path = tmp.path() + "/" + QString(240, 'x') + ".json";
    writeBytes(path, "{\"n\": 1");
    LedgerFile file(path);
    std::optional<std::int64_t> n;
    EXPECT_EQ(file.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::unreadable);
    EXPECT_FALSE(file.setAsidePath());

    EXPECT_FALSE(file.write(json::Json{{"n", 2}}));
    EXPECT_FALSE(file.write(json::Json{{"n", 3}}));
    EXPECT_EQ(readBytes(path), "{\"n\": 1");

    // Once the broken file is gone there is nothing left to protect.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(file.write(json::Json{{"n", 4}}));
    EXPECT_EQ(readBytes(path), "{\"n\":4}");
}

TEST(LedgerFileTest, ADirectoryInPlaceOfTheFileIsMovedAside) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/ledger.json";
    ASSERT_TRUE(QDir().mkpath(path + "/inside"));
    LedgerFile file(path);
    std::optional<std::int64_t> n;
    EXPECT_EQ(file.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::unreadable);
    EXPECT_TRUE(QDir(path + ".unreadable-2026-03-05/inside").exists());
    EXPECT_TRUE(file.write(json::Json{{"n", 5}}));
}

TEST(LedgerFileTest, AnyDecoderFailureCountsAsUnreadable) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/ledger.json";
    writeBytes(path, "[1, 2]");
    LedgerFile file(path);
    EXPECT_EQ(file.load([](const json::Json& value) { (void)value.at("n"); }, "2026-03-05"),
              LedgerFile::LoadResult::unreadable);
    EXPECT_EQ(readBytes(path + ".unreadable-2026-03-05"), "[1, 2]");
}

// A full disk refuses the bytes only when they are flushed: the write must notice before the rename, keep
// the old file whole and work again once there is room.
TEST(LedgerFileTest, FullDisk_AFailedWriteLeavesTheOldFileByteForByte) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/ledger.json";
    const QByteArray old = "{\"n\":1}";
    writeBytes(path, old);
    const int status = inChildWithFileSizeLimit(64, [&](const std::function<void()>& lift) {
        LedgerFile file(path);
        if (file.write(QByteArray(1000, ' ') + "{\"n\":2}")) {
            return 1;
        }
        if (readBytes(path) != old) {
            return 2;
        }
        lift();
        return file.write(json::Json{{"n", 3}}) ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readBytes(path), "{\"n\":3}");
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ledger.json"})
        << "no temporary file is left behind";
}

// Only a regular file of a sane size is read: a FIFO would block the open for ever, a link to a device
// would be read without end. Each is moved aside like any unreadable file, and writing goes on.
TEST(LedgerFileTest, FilesThatAreNotRegularOrTooLargeAreMovedAsideUnread) {
    const std::vector<std::pair<const char*, std::function<void(const QString&)>>> kinds{
        {"fifo", [](const QString& path) { ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0); }},
        {"link to /dev/zero", [](const QString& path) { ASSERT_TRUE(QFile::link("/dev/zero", path)); }},
        {"huge sparse file",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             ASSERT_TRUE(file.resize(SafeFile::defaultReadLimit + 1));
         }},
    };
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        QTemporaryDir tmp;
        const QString path = tmp.path() + "/ledger.json";
        make(path);
        ASSERT_FALSE(HasFatalFailure());
        const int status = inChildWithin(10, [&] {
            LedgerFile file(path);
            std::optional<std::int64_t> n;
            if (file.load(decodeInto(n), "2026-03-05") != LedgerFile::LoadResult::unreadable) {
                return 1;
            }
            return file.write(json::Json{{"n", 1}}) ? 0 : 2;
        });
        EXPECT_EQ(status, 0) << "-1: the child hung or ran out of memory";
        EXPECT_EQ(readBytes(path), "{\"n\":1}");
        const QFileInfo aside(path + ".unreadable-2026-03-05");
        EXPECT_TRUE(aside.exists() || aside.isSymLink());
    }
}

// What became of the user's file reaches the journal once, with names that cannot forge a line.
TEST(LedgerFileTest, AMoveAsideAndAFailingSaveEachLeaveOneWarning) {
    QTemporaryDir tmp;
    const QString folder = tmp.path() + "/line\nbreak\u202E";
    const QString path = folder + "/ledger.json";
    writeBytes(path, "{\"n\": ");
    CapturedWarnings log;
    LedgerFile file(path);
    std::optional<std::int64_t> n;
    ASSERT_EQ(file.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::unreadable);
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].contains("moved it aside")) << log.lines[0].toStdString();
    EXPECT_TRUE(log.lines[0].contains("line\\nbreak\\u{202E}/ledger.json.unreadable-2026-03-05"))
        << log.lines[0].toStdString();
    EXPECT_FALSE(log.lines[0].contains('\n') || log.lines[0].contains(QChar(0x202E)));

    // The folder becomes a file: every save fails, and only the first one says so.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    writeBytes(folder, "not a folder");
    log.lines.clear();
    EXPECT_FALSE(file.write(json::Json{{"n", 1}}));
    EXPECT_FALSE(file.write(json::Json{{"n", 2}}));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith("Saving ") && log.lines[0].contains("failed"))
        << log.lines[0].toStdString();

    // Once saving works again, a new failure is news again.
    ASSERT_TRUE(QFile::remove(folder));
    EXPECT_TRUE(file.write(json::Json{{"n", 3}}));
    ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
    EXPECT_FALSE(file.write(json::Json{{"n", 4}}));
    EXPECT_EQ(log.lines.size(), 2);
}

TEST(LedgerFileTest, AWriteRefusedOverAFileThatCannotBeMovedAsideLeavesAWarning) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/" + QString(240, 'x') + ".json";
    writeBytes(path, "{\"n\": 1");
    CapturedWarnings log;
    LedgerFile file(path);
    std::optional<std::int64_t> n;
    ASSERT_EQ(file.load(decodeInto(n), "2026-03-05"), LedgerFile::LoadResult::unreadable);
    EXPECT_FALSE(file.write(json::Json{{"n", 2}}));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].contains("refused")) << log.lines[0].toStdString();
}

TEST(LedgerFileTest, SaveIsDueAfterTheIntervalOrWhenTheClockWentBack) {
    const LedgerFile::MonotonicTime t0{1000s};
    EXPECT_TRUE(LedgerFile::isSaveDue(std::nullopt, t0));
    EXPECT_FALSE(LedgerFile::isSaveDue(t0, t0));
    EXPECT_FALSE(LedgerFile::isSaveDue(t0, t0 + 59999ms));
    EXPECT_TRUE(LedgerFile::isSaveDue(t0, t0 + 60s));
    EXPECT_TRUE(LedgerFile::isSaveDue(t0, t0 - 1ms));
}

TEST(LedgerFileTest, ApplicationSupportFolderFollowsXdgDataHome) {
    QTemporaryDir tmp;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", tmp.path().toUtf8());
    const auto folder = LedgerFile::applicationSupportFolder();
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
    EXPECT_EQ(folder, tmp.path() + "/Halvrick");
}

} // namespace
} // namespace halvrick
