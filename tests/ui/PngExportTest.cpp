#include "ui/PngExport.h"

#include "FileSizeLimit.h"
#include "QtTestApp.h"
#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

// A red square in the top-left quarter, in points, on an otherwise untouched canvas.
void quarter(QPainter& painter, QSizeF size) {
    painter.fillRect(QRectF(0, 0, size.width() / 2, size.height() / 2), Qt::red);
}

TEST(PngExportTest, RendersSizeTimesScalePixelsInPoints) {
    ASSERT_TRUE(qtTestAppReady());
    struct Case {
        QSizeF size;
        qreal scale;
        QSize pixels;
    };
    for (const Case& c : {Case{{600, 600}, 2, {1200, 1200}}, Case{{512, 512}, 4, {2048, 2048}},
                          Case{{18, 18}, 1, {18, 18}}, Case{{300, 100}, 1.5, {450, 150}}}) {
        const QImage image = PngExport::render(quarter, c.size, c.scale);
        ASSERT_EQ(image.size(), c.pixels);
        // The painter draws in points: its quarter covers a quarter of the pixels.
        EXPECT_EQ(image.pixelColor(c.pixels.width() / 4, c.pixels.height() / 4), QColor(Qt::red));
        EXPECT_EQ(qAlpha(image.pixel(c.pixels.width() * 3 / 4, c.pixels.height() * 3 / 4)), 0);
    }
    EXPECT_TRUE(PngExport::render(quarter, {0, 600}, 2).isNull());
    EXPECT_TRUE(PngExport::render(quarter, {600, 600}, 0).isNull());
    EXPECT_FALSE(PngExport::pngData(quarter, {600, 600}, -1));
}

TEST(PngExportTest, PngBytesDecodeToTheRenderedPicture) {
    ASSERT_TRUE(qtTestAppReady());
    const auto bytes = PngExport::pngData(quarter, {600, 600}, 2);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->startsWith("\x89PNG"));
    const QImage decoded = QImage::fromData(*bytes, "PNG");
    ASSERT_EQ(decoded.size(), QSize(1200, 1200));
    EXPECT_EQ(decoded.pixelColor(10, 10), QColor(Qt::red));
}

TEST(PngExportTest, WritesIntoMissingFoldersAndReplacesTheOldFile) {
    ASSERT_TRUE(qtTestAppReady());
    QTemporaryDir dir;
    const QString path = dir.filePath("cards/new/Halvrick Grade 2026-03-08.png");
    PngExport::writePNG(quarter, {20, 20}, 2, path);
    EXPECT_EQ(QImageReader(path).size(), QSize(40, 40));
    PngExport::writePNG(quarter, {30, 30}, 2, path);
    EXPECT_EQ(QImageReader(path).size(), QSize(60, 60));
    EXPECT_EQ(QDir(dir.filePath("cards/new")).entryList(QDir::Files).size(), 1);
}

TEST(PngExportTest, NothingToRenderTouchesNoFolderAndNamesTheFile) {
    ASSERT_TRUE(qtTestAppReady());
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/Weekly.png");
    try {
        PngExport::writePNG(quarter, {0, 0}, 2, path);
        FAIL() << "an empty picture was written";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "renderFailed(\"Weekly.png\")");
    }
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
}

TEST(PngExportTest, AFailedWriteThrowsAndKeepsTheOldPicture) {
    ASSERT_TRUE(qtTestAppReady());
    QTemporaryDir dir;
    const QString path = dir.filePath("card.png");
    PngExport::writePNG(quarter, {10, 10}, 1, path);
    const QByteArray old = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(old.isEmpty());
    {
        const FileSizeLimit full(16);
        EXPECT_THROW(PngExport::writePNG(quarter, {600, 600}, 2, path), Error);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"card.png"});
}

} // namespace
} // namespace halvrick
