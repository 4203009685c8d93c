#include "ui/CardFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

constexpr QFileDevice::Permissions ownerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

QFileDevice::Permissions modeOf(const QString& path) {
    // Qt adds the "user" bits beside the owner's; only the owner, group and other bits count here.
    return QFileInfo(path).permissions() &
           (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
            QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
}

TEST(CardFilesTest, PrefersTheRuntimeFolderAndMakesItPrivate) {
    QTemporaryDir runtime;
    QTemporaryDir cache;
    const auto folder = CardFiles::folder(runtime.path(), cache.path());
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, QFileInfo(runtime.filePath("halvrick")).absoluteFilePath());
    EXPECT_EQ(modeOf(*folder), ownerOnly);

    // An existing folder that others could enter is closed again.
    ASSERT_TRUE(QFile::setPermissions(*folder, ownerOnly | QFileDevice::ReadOther | QFileDevice::ExeOther));
    ASSERT_TRUE(CardFiles::folder(runtime.path(), cache.path()));
    EXPECT_EQ(modeOf(*folder), ownerOnly);
}

TEST(CardFilesTest, FallsBackToTheCacheWithoutAUsableRuntimeFolder) {
    QTemporaryDir runtime;
    QTemporaryDir cache;
    const QString cards = QFileInfo(cache.filePath("cards")).absoluteFilePath();
    EXPECT_EQ(CardFiles::folder({}, cache.path()), cards);

    // A link planted where the folder would be is never followed.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), runtime.filePath("halvrick")));
    EXPECT_EQ(CardFiles::folder(runtime.path(), cache.path()), cards);

    QTemporaryDir plain;
    QFile file(plain.filePath("halvrick"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(CardFiles::folder(plain.path(), cache.path()), cards);
    EXPECT_FALSE(CardFiles::folder({}, {}));
}

} // namespace
} // namespace halvrick
