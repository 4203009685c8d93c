#include "ui/ShareButton.h"

#include "QtTestApp.h"
#include "ui/PngExport.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUrl>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

QAction* action(QMenu& menu, const char* title) {
    for (QAction* candidate : menu.actions()) {
        if (candidate->text() == QLatin1String(title)) {
            return candidate;
        }
    }
    return nullptr;
}

class ShareButtonTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        card = dir.filePath("Weekly Sweat Report 2026-12-08.png");
    }

    // Renders a fresh card on every call, as a card's makeFile does.
    std::optional<QString> render() {
        ++renders;
        PngExport::writePNG([](QPainter& p, QSizeF s) { p.fillRect(QRectF({}, s), Qt::blue); }, {30, 20}, 2,
                            card);
        return card;
    }

    QTemporaryDir dir;
    QString card;
    int renders = 0;
};

TEST_F(ShareButtonTest, EachClickRendersAgainAndOffersTheFile) {
    ShareButton button(QStringLiteral("Share card…"), [this] { return render(); });
    EXPECT_EQ(button.text(), QStringLiteral("Share card…"));
    button.click();
    button.click();
    EXPECT_EQ(renders, 2);
    ASSERT_TRUE(button.menu());
    QStringList titles;
    for (QAction* a : button.menu()->actions()) {
        titles << a->text();
    }
    EXPECT_EQ(titles, (QStringList{"Copy Image", "Open", "Show in Folder"}));
}

TEST_F(ShareButtonTest, NoFileMeansNoMenu) {
    int calls = 0;
    ShareButton button(QStringLiteral("Share…"), [&calls]() -> std::optional<QString> {
        ++calls;
        return std::nullopt;
    });
    button.click();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(button.menu());
    button.setEnabled(false);
    button.click();
    EXPECT_EQ(calls, 1);
}

TEST_F(ShareButtonTest, CopyPutsThePictureAndTheFileOnTheClipboard) {
    ShareButton button(QStringLiteral("Share…"), [this] { return render(); });
    button.click();
    ASSERT_TRUE(button.menu());
    QAction* copy = action(*button.menu(), ShareButton::copyTitle);
    ASSERT_TRUE(copy);
    copy->trigger();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), QSize(60, 40));
    EXPECT_TRUE(data->data("image/png").startsWith("\x89PNG"));
    ASSERT_EQ(data->urls().size(), 1);
    EXPECT_EQ(data->urls()[0].toLocalFile(), card);
    EXPECT_TRUE(QFile::exists(card));
}

TEST_F(ShareButtonTest, OpenHandsTheFileToTheViewerAndShowOpensItsFolder) {
    ShareButton button(QStringLiteral("Share…"), [this] { return render(); });
    QList<QUrl> opened;
    button.setOpenUrl([&opened](const QUrl& url) {
        opened << url;
        return true;
    });
    button.click();
    ASSERT_TRUE(button.menu());
    action(*button.menu(), ShareButton::openTitle)->trigger();
    action(*button.menu(), ShareButton::showTitle)->trigger();
    EXPECT_EQ(opened, (QList<QUrl>{QUrl::fromLocalFile(card), QUrl::fromLocalFile(dir.path())}));
    EXPECT_FALSE(QToolTip::isVisible()) << "what opened needs no word";

    // A later maker is the one the next click uses.
    button.setMakeFile([this]() -> std::optional<QString> { return dir.filePath("other.png"); });
    button.click();
    action(*button.menu(), ShareButton::openTitle)->trigger();
    EXPECT_EQ(opened.last(), QUrl::fromLocalFile(dir.filePath("other.png")));
}

// xdg-open missing, or nothing registered for images or folders: the click is answered all the same.
TEST_F(ShareButtonTest, WhereTheDesktopOpensNothingAShortLineSaysSo) {
    ShareButton button(QStringLiteral("Share…"), [this] { return render(); });
    button.setOpenUrl([](const QUrl&) { return false; });
    button.click();
    ASSERT_TRUE(button.menu());
    const struct {
        const char* action;
        const char* line;
    } rows[] = {{ShareButton::openTitle, ShareButton::noViewerText},
                {ShareButton::showTitle, ShareButton::noFileManagerText}};
    for (const auto& row : rows) {
        QToolTip::hideText();
        action(*button.menu(), row.action)->trigger();
        EXPECT_TRUE(QToolTip::isVisible()) << row.action;
        EXPECT_EQ(QToolTip::text(), QString::fromUtf8(row.line)) << row.action;
    }
    QToolTip::hideText();
}

} // namespace
} // namespace halvrick
