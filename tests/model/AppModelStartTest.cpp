#include "AppModelFakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace halvrick {
namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void anHourOld(const QString& path) {
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

class AppModelStartTest : public fakes::ModelTest {};

// A run killed while it saved leaves temporary files beside the ledgers and the defaults; the next start
// clears the stale ones before the stores read their files.
TEST_F(AppModelStartTest, AStartClearsWhatWritesCutShortLeftBesideTheStores) {
    QTemporaryDir data;
    QTemporaryDir config;
    for (const QString name :
         {"stats.json.~k3j2h1", "vitals.json.~00aa11", "stats.json.~fresh1", "stats.json.backup"}) {
        writeBytes(data.filePath(name), "{");
        if (name != "stats.json.~fresh1") {
            anHourOld(data.filePath(name));
        }
    }
    writeBytes(config.filePath("defaults.json.~zz0001"), "{");
    anHourOld(config.filePath("defaults.json.~zz0001"));
    world.dataFolder = data.path();
    world.defaults = std::make_shared<Defaults>(config.filePath("defaults.json"));

    make();
    const auto files = [](const QTemporaryDir& dir) {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    };
    EXPECT_EQ(files(data), (QStringList{"stats.json.backup", "stats.json.~fresh1"}));
    EXPECT_TRUE(files(config).isEmpty());
}

} // namespace
} // namespace halvrick
