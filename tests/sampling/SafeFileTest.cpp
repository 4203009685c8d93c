#include "sampling/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace halvrick {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A link to a regular file is written through and stays a link; a link to anything else is replaced, so
// that the rename never lands on a FIFO or a device where the link points.
TEST(SafeFileTest, WritesThroughLinksToRegularFilesOnly) {
    QTemporaryDir tmp;
    const QString real = tmp.path() + "/real.json";
    const QString linked = tmp.path() + "/linked.json";
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(real, linked));
    ASSERT_TRUE(SafeFile::write(linked, "{\"n\":1}"));
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    EXPECT_EQ(contents(real), "{\"n\":1}");

    const QString fifo = tmp.path() + "/fifo";
    const QString toFifo = tmp.path() + "/to-fifo.json";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(fifo, toFifo));
    ASSERT_TRUE(SafeFile::write(toFifo, "{\"n\":2}"));
    EXPECT_FALSE(QFileInfo(toFifo).isSymLink());
    EXPECT_EQ(contents(toFifo), "{\"n\":2}");
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the FIFO was replaced";
}

} // namespace
} // namespace halvrick
