#include "ArtworkCatalogue.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace halvrick {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QStringList lines;
};

// The real program in `workingDirectory`, with no display at all, a private runtime folder and, when
// given, a home of its own (its desktop is "Desktop" there) and variables of its own.
ProgramRun runProgram(const QStringList& arguments, const QString& workingDirectory, const QString& runtime,
                      const QString& home = {}, const QProcessEnvironment& extra = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    environment.insert(extra);
    environment.insert("XDG_RUNTIME_DIR", runtime);
    if (!home.isEmpty()) {
        environment.insert("HOME", home);
        environment.insert("XDG_CONFIG_HOME", QDir(home).filePath(".config"));
    }
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(HALVRICK_PROGRAM, arguments);
    EXPECT_TRUE(process.waitForFinished(120'000));
    ProgramRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    return run;
}

QStringList everything(const QString& folder) {
    QStringList found;
    QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden)) {
        found << entry.fileName();
    }
    return found;
}

void expectFiles(const QString& folder, const std::vector<CatalogueFile>& files) {
    for (const CatalogueFile& file : files) {
        EXPECT_EQ(QImageReader(QDir(folder).filePath(file.path)).size(), file.pixels)
            << file.path.toStdString();
    }
}

class ExportSwitchesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    // Makes the working directory the root of a source tree with its icon set.
    void makeSourceTree() {
        QFile manifest(work.filePath("CMakeLists.txt"));
        ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
        manifest.close();
        ASSERT_TRUE(QDir(work.path()).mkpath("data/icons"));
    }
    QTemporaryDir work;
    QTemporaryDir runtime;
    QTemporaryDir home;
};

TEST_F(ExportSwitchesTest, ArtworkSwitchWinsAndWritesTheFullSetIntoARelativeFolder) {
    makeSourceTree();
    // What an earlier export, killed while it wrote, left behind.
    ASSERT_TRUE(QDir(work.path()).mkpath("out/appicon"));
    for (const char* name : {"out/grid.png.~4f0a9z", "out/appicon/icon_16x16.png.~00x1y2"}) {
        QFile left(work.filePath(name));
        ASSERT_TRUE(left.open(QIODevice::WriteOnly));
        left.close();
        const QDateTime anHourAgo = QDateTime::currentDateTime().addSecs(-3600);
        ASSERT_TRUE(left.open(QIODevice::ReadWrite));
        ASSERT_TRUE(left.setFileTime(anHourAgo, QFileDevice::FileModificationTime));
    }
    const ProgramRun run =
        runProgram({"--export-web-assets", "web", "--export-artwork", "out"}, work.path(), runtime.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{"Wrote 125 files to " + work.filePath("out")});
    const auto catalogue = expectedFullSet();
    expectFiles(work.filePath("out"), catalogue);
    int written = 0;
    QDirIterator files(work.filePath("out"), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        ++written;
    }
    EXPECT_EQ(written, 125) << "no stray or temporary files";
    // Pointed into the source tree, the export also refreshes its icon set: the ten icons under their
    // plain names, uncounted.
    std::vector<CatalogueFile> icons;
    for (const CatalogueFile& file : catalogue) {
        if (file.path.startsWith("appicon/")) {
            icons.push_back({file.path.mid(8), file.pixels});
        }
    }
    ASSERT_EQ(icons.size(), 10u);
    expectFiles(work.filePath("data/icons"), icons);
    EXPECT_EQ(everything(work.filePath("data/icons")).size(), 10);
    EXPECT_FALSE(QFileInfo::exists(work.filePath("web"))) << "the web export did not run";
}

// Run from a source tree's root, an export writes into the tree only where it is told to.
TEST_F(ExportSwitchesTest, ArtworkSwitchAloneOrPointedElsewhereLeavesTheSourceTreeAlone) {
    makeSourceTree();
    const QString desktop = QDir(home.path()).filePath("Desktop/Halvrick Artwork");
    ProgramRun run = runProgram({"--export-artwork"}, work.path(), runtime.path(), home.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{"Wrote 125 files to " + desktop});
    EXPECT_EQ(QImageReader(QDir(desktop).filePath("grid.png")).size(), QSize(1476, 4528));

    QTemporaryDir elsewhere;
    run =
        runProgram({"--export-artwork", elsewhere.filePath("art")}, work.path(), runtime.path(), home.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{"Wrote 125 files to " + elsewhere.filePath("art")});

    EXPECT_EQ(everything(work.path()), (QStringList{"CMakeLists.txt", "data"}));
    EXPECT_TRUE(everything(work.filePath("data/icons")).isEmpty());
}

TEST_F(ExportSwitchesTest, WebSwitchWritesTwelveFilesBesideARunningInstance) {
    // An interactive instance holds the lock: the export neither waits for it nor leaves.
    QLockFile running(runtime.filePath("halvrick.lock"));
    ASSERT_TRUE(running.tryLock(0));
    const ProgramRun run = runProgram({"--export-web-assets", "site/img"}, work.path(), runtime.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{"Wrote 12 files to " + work.filePath("site/img")});
    expectFiles(work.filePath("site/img"), expectedWebSet());
    EXPECT_EQ(everything(work.filePath("site/img")).size(), 12);
}

TEST_F(ExportSwitchesTest, WebSwitchWithoutAFolderWritesToTheDesktop) {
    makeSourceTree();
    const QString desktop = QDir(home.path()).filePath("Desktop/Halvrick Web Assets");
    const ProgramRun run = runProgram({"--export-web-assets"}, work.path(), runtime.path(), home.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, QStringList{"Wrote 12 files to " + desktop});
    expectFiles(desktop, expectedWebSet());
    EXPECT_EQ(everything(work.path()), (QStringList{"CMakeLists.txt", "data"}));
}

// A desktop session's variables, or a platform on the command line, with no server behind them: the
// exports still need no display.
TEST_F(ExportSwitchesTest, ADesktopPlatformWithoutItsServerStillExports) {
    struct Case {
        const char* platform;
        const char* display;
        QStringList arguments;
    };
    const Case cases[] = {
        {"xcb", ":99", {"--export-web-assets", "xcb"}},
        {"wayland", nullptr, {"--export-web-assets", "wayland"}},
        {nullptr, ":99", {"-platform", "xcb", "--export-web-assets", "argument"}},
    };
    for (const Case& c : cases) {
        QProcessEnvironment session;
        if (c.platform) {
            session.insert("QT_QPA_PLATFORM", c.platform);
        }
        if (c.display) {
            session.insert("DISPLAY", c.display);
        }
        const QString folder = c.arguments.last();
        const ProgramRun run = runProgram(c.arguments, work.path(), runtime.path(), {}, session);
        EXPECT_EQ(run.exitCode, 0) << folder.toStdString();
        EXPECT_EQ(run.lines, QStringList{"Wrote 12 files to " + work.filePath(folder)});
    }
}

TEST_F(ExportSwitchesTest, AnUnwritableFolderFailsWithOneLineAndLeavesNothing) {
    QFile taken(work.filePath("taken"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    struct Case {
        const char* flag;
        QString lead;
    };
    for (const Case& c : {Case{"--export-artwork", "Artwork export failed: "},
                          Case{"--export-web-assets", "Web asset export failed: "}}) {
        const ProgramRun run = runProgram({c.flag, "taken/art"}, work.path(), runtime.path());
        EXPECT_EQ(run.exitCode, 1);
        ASSERT_EQ(run.lines.size(), 1) << run.lines.join('|').toStdString();
        EXPECT_TRUE(run.lines[0].startsWith(c.lead)) << run.lines[0].toStdString();
        EXPECT_EQ(everything(work.path()), QStringList{"taken"});
    }
}

TEST_F(ExportSwitchesTest, AReadOnlyExportFolderKeepsNoHalfWrittenFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    const QString folder = work.filePath("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const ProgramRun run = runProgram({"--export-web-assets", folder}, work.path(), runtime.path());
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines.size(), 1);
    EXPECT_TRUE(everything(folder).isEmpty());
}

} // namespace
} // namespace halvrick
