#include "storage/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Sets the modification time `seconds` back from now, without following a link.
void age(const QString& path, int seconds) {
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

QStringList names(const QString& folder) {
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

// A writer killed halfway, as a file size limit kills it: what it leaves is exactly what the sweep takes,
// once it is old enough.
TEST(SafeFileTest, TheSweepTakesWhatAKilledWriteLeft) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/card.png";
    writeBytes(path, "the old card");
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{4, 4};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SafeFile::write(path, QByteArray(4096, 'x'));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the write was not cut short";
    const QStringList left = names(tmp.path());
    ASSERT_EQ(left.size(), 2) << left.join(' ').toStdString();
    const QString temporary = tmp.path() + "/" + left.at(left.at(0) == "card.png" ? 1 : 0);

    EXPECT_EQ(SafeFile::sweepTemporaries(tmp.path()), 0) << "a write may still be under way";
    age(temporary, 3600);
    EXPECT_EQ(SafeFile::sweepTemporaries(tmp.path()), 1);
    EXPECT_EQ(names(tmp.path()), QStringList{"card.png"});
    EXPECT_EQ(contents(path), "the old card");
}

TEST(SafeFileTest, TheSweepTakesNothingElse) {
    QTemporaryDir tmp;
    const QString folder = tmp.path();
    const QString outside = tmp.path() + "/../" + QFileInfo(tmp.path()).fileName() + "-victim";
    writeBytes(outside, "not ours");
    const QStringList kept{
        "card.png.~ab12cd",  // fresh: a write may be under way
        "card.png.ab12cd",   // no mark
        "notes.txt.backup",  // a user's own
        "card.png.~ab12c",   // too short
        "card.png.~ab12cde", // too long
        "card.png.~AB12CD",  // not a digit of the name
        "card.png.~ab-2cd",
        ".~ab12cd",       // nothing written to
        "linked.~ab12cd", // a link, to a stale file outside
        "folder.~ab12cd", // a folder
        "twice.~ab12cd",  // a second name of a user's file
    };
    for (const QString& name : kept) {
        if (name == "linked.~ab12cd") {
            ASSERT_TRUE(QFile::link(outside, folder + "/" + name));
        } else if (name == "folder.~ab12cd") {
            ASSERT_TRUE(QDir(folder).mkdir(name));
        } else if (name == "twice.~ab12cd") {
            writeBytes(folder + "/twice", "a user's file");
            ASSERT_EQ(::link(QFile::encodeName(folder + "/twice").constData(),
                             QFile::encodeName(folder + "/" + name).constData()),
                      0);
        } else {
            writeBytes(folder + "/" + name, "x");
        }
        if (name != "card.png.~ab12cd") {
            age(folder + "/" + name, 3600);
        }
    }
    age(outside, 3600);
    writeBytes(folder + "/stats.json.~0z9y8x", "stale");
    age(folder + "/stats.json.~0z9y8x", 61);

    EXPECT_EQ(SafeFile::sweepTemporaries(folder), 1);
    QStringList expected = kept;
    expected << "twice";
    expected.sort();
    EXPECT_EQ(names(folder), expected);
    EXPECT_EQ(contents(outside), "not ours");
    QFile::remove(outside);
    EXPECT_EQ(SafeFile::sweepTemporaries(folder + "/missing"), 0);
}

} // namespace
} // namespace halvrick
