#include "model/LedgerFile.h"

#include "StoreTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using namespace std::chrono_literals;
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
