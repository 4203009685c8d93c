#include "QtTestApp.h"
#include "artwork/ArtworkGridView.h"
#include "artwork/ArtworkLabWindowController.h"
#include "artwork/FaceEditorView.h"
#include "core/Error.h"
#include "ui/ElidedLabel.h"
#include "ui/WindowShell.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

class ArtworkLabTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qtTestAppReady()); }

    ArtworkLabWindowController makeController() {
        return ArtworkLabWindowController(
            [this](const QString& into) -> QStringList {
                exportedTo << into;
                if (failWith) {
                    throw Error(*failWith);
                }
                return QStringList{into + "/a.png", into + "/b.png", into + "/c.png"};
            },
            [this] { return folder; },
            [this](const QString& shown) {
                revealed << shown;
                return fileManagerOpens;
            });
    }

    QString folder = QStringLiteral("/home/u/Desktop/Halvrick Artwork");
    std::optional<std::string> failWith;
    QStringList exportedTo;
    QStringList revealed;
    bool fileManagerOpens = true;
};

TEST_F(ArtworkLabTest, ShowMakesOneWindowAndBringsItBack) {
    ArtworkLabWindowController lab = makeController();
    EXPECT_EQ(lab.window(), nullptr);
    lab.show();
    QWidget* window = lab.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Halvrick Artwork Lab");
    // The designed size, as far as the test's screen has room for it.
    EXPECT_EQ(window->size(), QSize(1100, 760).boundedTo(WindowShell::room(*window)));
    EXPECT_EQ(lab.view()->minimumSize(), QSize(900, 600));
    EXPECT_TRUE(window->isVisible());
    const auto before = QApplication::topLevelWidgets().size();
    lab.show();
    EXPECT_EQ(lab.window(), window);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
}

TEST_F(ArtworkLabTest, StartsOnTheEditorWithNoMessage) {
    ArtworkLabWindowController lab = makeController();
    lab.show();
    ArtworkLabView* view = lab.view();
    EXPECT_EQ(view->tab(), ArtworkLabView::editorTab);
    EXPECT_TRUE(view->tabButton(ArtworkLabView::editorTab)->isChecked());
    EXPECT_EQ(view->tabButton(ArtworkLabView::editorTab)->text(), "Editor");
    EXPECT_EQ(view->tabButton(ArtworkLabView::gridTab)->text(), "Grid");
    EXPECT_NE(qobject_cast<FaceEditorView*>(view->content()), nullptr);
    EXPECT_FALSE(view->exportMessage());
    EXPECT_TRUE(view->messageLabel()->isHidden());
    EXPECT_EQ(view->exportButton()->text(), "Export PNGs");
}

TEST_F(ArtworkLabTest, GridTabScrollsTheGridAndTheEditorComesBackAfresh) {
    ArtworkLabWindowController lab = makeController();
    lab.show();
    ArtworkLabView* view = lab.view();
    auto* editor = qobject_cast<FaceEditorView*>(view->content());
    ASSERT_NE(editor, nullptr);
    editor->findChild<QComboBox*>("State")->setCurrentIndex(10);
    ASSERT_EQ(editor->state(), FaceState::napping);

    view->tabButton(ArtworkLabView::gridTab)->click();
    EXPECT_EQ(view->tab(), ArtworkLabView::gridTab);
    auto* scroll = qobject_cast<QScrollArea*>(view->content());
    ASSERT_NE(scroll, nullptr);
    EXPECT_NE(dynamic_cast<ArtworkGridView*>(scroll->widget()), nullptr);
    EXPECT_EQ(scroll->widget()->size(), QSize(738, 2264));
    EXPECT_EQ(scroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(scroll->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    view->tabButton(ArtworkLabView::editorTab)->click();
    auto* fresh = qobject_cast<FaceEditorView*>(view->content());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->state(), FaceState::chill);
    EXPECT_EQ(fresh->face(), face(FaceState::chill, HeatState::chill));
}

TEST_F(ArtworkLabTest, ExportWritesIntoTheFolderSaysSoAndRevealsItEachTime) {
    ArtworkLabWindowController lab = makeController();
    lab.show();
    ArtworkLabView* view = lab.view();
    view->exportButton()->click();
    EXPECT_EQ(exportedTo, QStringList{folder});
    EXPECT_EQ(view->exportMessage(), "Wrote 3 files to " + folder);
    EXPECT_FALSE(view->messageLabel()->isHidden());
    EXPECT_EQ(view->messageLabel()->fullText(), "Wrote 3 files to " + folder);
    EXPECT_EQ(view->messageLabel()->textFormat(), Qt::PlainText);
    EXPECT_EQ(revealed, QStringList{folder});
    view->exportButton()->click();
    EXPECT_EQ(revealed, (QStringList{folder, folder}));
}

TEST_F(ArtworkLabTest, ADesktopWithoutAFileManagerIsNamedAfterTheFilesWritten) {
    ArtworkLabWindowController lab = makeController();
    lab.show();
    fileManagerOpens = false;
    lab.view()->exportPNGs();
    EXPECT_EQ(revealed, QStringList{folder});
    EXPECT_EQ(lab.view()->exportMessage(),
              "Wrote 3 files to " + folder + ". No file manager on this desktop opened the folder.");
}

TEST_F(ArtworkLabTest, AFailedExportSaysWhyAndRevealsNothing) {
    ArtworkLabWindowController lab = makeController();
    lab.show();
    failWith = "renderFailed(\"grid.png\")";
    lab.view()->exportPNGs();
    EXPECT_EQ(lab.view()->exportMessage(), "Export failed: renderFailed(\"grid.png\")");
    EXPECT_TRUE(revealed.isEmpty());
}

TEST_F(ArtworkLabTest, ClosingKeepsTheTabAndTheMessage) {
    ArtworkLabWindowController lab = makeController();
    lab.show();
    lab.view()->tabButton(ArtworkLabView::gridTab)->click();
    lab.view()->exportPNGs();
    QWidget* content = lab.view()->content();
    lab.window()->close();
    EXPECT_FALSE(lab.window()->isVisible());
    lab.show();
    EXPECT_TRUE(lab.window()->isVisible());
    EXPECT_EQ(lab.view()->tab(), ArtworkLabView::gridTab);
    EXPECT_EQ(lab.view()->content(), content);
    EXPECT_EQ(lab.view()->exportMessage(), "Wrote 3 files to " + folder);
}

TEST_F(ArtworkLabTest, ALongMessageStaysOnOneLine) {
    folder = "/home/u/" + QString("very long folder name ").repeated(40);
    ArtworkLabWindowController lab = makeController();
    lab.show();
    lab.view()->exportPNGs();
    ElidedLabel* label = lab.view()->messageLabel();
    EXPECT_FALSE(label->wordWrap());
    EXPECT_LT(label->text().size(), label->fullText().size());
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026)));
    EXPECT_LE(label->geometry().right(), lab.view()->exportButton()->geometry().left());
}

} // namespace
} // namespace halvrick
