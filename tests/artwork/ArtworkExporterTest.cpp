#include "artwork/ArtworkExporter.h"

#include "ArtworkCatalogue.h"
#include "QtTestApp.h"
#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

void expectPlan(const std::vector<ArtworkFile>& plan, const std::vector<CatalogueFile>& expected) {
    ASSERT_EQ(plan.size(), expected.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plan[i].path, expected[i].path);
        EXPECT_EQ(plan[i].pixels(), expected[i].pixels) << plan[i].path.toStdString();
        EXPECT_TRUE(plan[i].paint);
    }
}

TEST(ArtworkExporterTest, FullPlanIsTheCatalogueInOrderWithItsPixelSizes) {
    expectPlan(ArtworkExporter::plan(), expectedFullSet());
    std::vector<QString> icons;
    for (const ArtworkFile& file : ArtworkExporter::plan()) {
        if (file.isAppIcon) {
            icons.push_back(file.path);
            EXPECT_EQ(file.scale, 1) << "icons render at scale 1 on a frame of their pixel size";
        }
    }
    EXPECT_EQ(icons.size(), 10u);
    EXPECT_EQ(icons.front(), "appicon/icon_16x16.png");
    EXPECT_EQ(icons.back(), "appicon/icon_512x512@2x.png");
}

TEST(ArtworkExporterTest, WebPlanIsTheTwelveAssetsInOrder) {
    expectPlan(ArtworkExporter::webPlan(), expectedWebSet());
}

// A source tree the program runs in gets no folder of its own: the defaults are the desktop's.
TEST(ArtworkExporterTest, DefaultFoldersAreOnTheDesktopEvenInASourceTree) {
    QTemporaryDir tree;
    QFile manifest(tree.filePath("CMakeLists.txt"));
    ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
    manifest.close();
    struct Case {
        QString desktop;
        QString artwork;
        QString web;
    };
    for (const Case& c :
         {Case{"/home/u/Desktop", "/home/u/Desktop/Halvrick Artwork", "/home/u/Desktop/Halvrick Web Assets"},
          Case{"", tree.filePath("Halvrick Artwork"), tree.filePath("Halvrick Web Assets")}}) {
        EXPECT_EQ(ArtworkExporter::defaultFolder(tree.path(), c.desktop), c.artwork);
        EXPECT_EQ(ArtworkExporter::defaultWebFolder(tree.path(), c.desktop), c.web);
    }
    EXPECT_EQ(QDir(tree.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"CMakeLists.txt"})
        << "choosing a folder creates nothing";
}

// The tree's icon set is refreshed only by an export pointed into that tree.
TEST(ArtworkExporterTest, TheSourceTreesIconsOnlyForAnExportIntoIt) {
    QTemporaryDir tree;
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QDir(tree.path()).mkpath("data/icons"));
    const QString icons = tree.filePath("data/icons");
    EXPECT_FALSE(ArtworkExporter::appIconFolder(tree.path(), tree.filePath("out"))) << "no CMakeLists.txt";
    QFile manifest(tree.filePath("CMakeLists.txt"));
    ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
    manifest.close();
    EXPECT_EQ(ArtworkExporter::appIconFolder(tree.path(), tree.filePath("Artwork/previews")), icons);
    EXPECT_EQ(ArtworkExporter::appIconFolder(tree.path(), tree.path()), icons);
    EXPECT_FALSE(ArtworkExporter::appIconFolder(tree.path(), elsewhere.filePath("out")));
    EXPECT_FALSE(ArtworkExporter::appIconFolder(tree.path(), tree.path() + "-sibling/out"));
    EXPECT_FALSE(ArtworkExporter::appIconFolder(tree.path(), "/home/u/Desktop/Halvrick Artwork"));
}

TEST(ArtworkExporterTest, WebExportWritesEveryFileAtItsPixelSize) {
    ASSERT_TRUE(qtTestAppReady());
    QTemporaryDir dir;
    const QString folder = dir.filePath("not/yet/there");
    const QStringList written = ArtworkExporter::exportWebAssets(folder);
    const auto expected = expectedWebSet();
    ASSERT_EQ(written.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto index = static_cast<qsizetype>(i);
        EXPECT_EQ(written[index], QDir(folder).filePath(expected[i].path));
        EXPECT_EQ(QImageReader(written[index]).size(), expected[i].pixels);
    }
}

TEST(ArtworkExporterTest, AFolderThatCannotBeMadeFailsBeforeAnythingIsWritten) {
    ASSERT_TRUE(qtTestAppReady());
    QTemporaryDir dir;
    QFile blocker(dir.filePath("taken"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString folder = dir.filePath("taken/artwork");
    EXPECT_THROW(ArtworkExporter::exportAll(folder), Error);
    EXPECT_THROW(ArtworkExporter::exportWebAssets(folder), Error);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{"taken"});
}

TEST(ArtworkExporterTest, OneLineNeutralisesLineBreaksAndDirectionMarks) {
    EXPECT_EQ(ArtworkExporter::oneLine(QString::fromUtf8("/tmp/a\nb\u202Ec.png")),
              QString::fromUtf8("/tmp/a\uFFFDb\uFFFDc.png"));
    EXPECT_EQ(ArtworkExporter::oneLine("/home/u/Desktop/Halvrick Artwork"),
              "/home/u/Desktop/Halvrick Artwork");
}

} // namespace
} // namespace halvrick
