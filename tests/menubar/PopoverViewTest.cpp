#include "ShellTestSupport.h"

#include "menubar/BlameRows.h"
#include "menubar/FittingScrollView.h"
#include "menubar/PopoverView.h"
#include "menubar/PopupPanel.h"

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace halvrick::shelltest {
namespace {

class PopoverViewTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        view = std::make_unique<PopoverView>(*model, PopoverActions{});
    }

    const BlameRow* row(const AppKey& key) const {
        const auto it = view->blameRows().find(key);
        return it == view->blameRows().end() ? nullptr : it->second;
    }

    // Writes the popover, laid out as on screen, next to the test program and returns it.
    QImage screenshot(const QString& name) {
        PopupPanel panel(false);
        auto* shown = new PopoverView(*model, PopoverActions{});
        panel.setContent(shown);
        panel.setAttribute(Qt::WA_DontShowOnScreen);
        panel.show();
        shown->refresh();
        panel.layout()->activate();
        panel.adjustSize();
        QImage image(panel.size() * 2, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        panel.render(&image);
        image.save(QCoreApplication::applicationDirPath() + "/" + name);
        return image;
    }

    std::unique_ptr<PopoverView> view;
};

TEST_F(PopoverViewTest, ReadsTheModelAndUpdatesRowsInPlace) {
    heatUp();
    view->refresh();
    const AppKey backup{AppKey::Kind::process, "backupd", "backupd"};
    const std::vector<AppKey> expected{fakes::app("Compiler"), fakes::app("Browser"), AppKey::system()};
    ASSERT_EQ(view->rowOrder(), expected);
    EXPECT_FALSE(view->titleLabel().text().isEmpty());
    EXPECT_EQ(view->blameLineLabel().text().toStdString(), model->displayedBlameLine());
    EXPECT_TRUE(view->blameLineLabel().font().bold()) << "the culprit's line is semibold";
    EXPECT_TRUE(row(fakes::app("Compiler"))->nameLabel().font().bold());
    EXPECT_FALSE(row(fakes::app("Browser"))->nameLabel().font().bold());

    // Buttons by kind: applications quit and ignore, processes only ignore, the system neither.
    EXPECT_NE(row(fakes::app("Compiler"))->quitButton(), nullptr);
    EXPECT_NE(row(fakes::app("Compiler"))->ignoreButton(), nullptr);
    model->setIgnoredNames({{fakes::app("Browser").id, "Browser"}});
    model->refreshBlame();
    view->refresh();
    ASSERT_NE(row(backup), nullptr);
    EXPECT_EQ(row(backup)->quitButton(), nullptr);
    EXPECT_NE(row(backup)->ignoreButton(), nullptr);
    EXPECT_EQ(row(AppKey::system())->quitButton(), nullptr);
    EXPECT_EQ(row(AppKey::system())->ignoreButton(), nullptr);

    // A later sample keeps the same row objects.
    const BlameRow* compiler = row(fakes::app("Compiler"));
    model->ingestProcesses(fakes::processSample(world.now, 2, {{fakes::app("Compiler"), 3}}));
    view->refresh();
    EXPECT_EQ(row(fakes::app("Compiler")), compiler);
}

TEST_F(PopoverViewTest, PublishesComingTogetherAreOneRefresh) {
    const int before = view->refreshCount();
    model->setForcedState(HeatState::warm);
    model->setIgnoredNames({{"/a.desktop", "A"}});
    model->setForcedState(HeatState::sweating);
    EXPECT_EQ(view->refreshCount(), before);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->refreshCount(), before + 1);
    EXPECT_TRUE(view->heatLabel().text().contains(QStringLiteral("Sweating")));
    EXPECT_FALSE(view->forcedNote().isHidden());
}

TEST_F(PopoverViewTest, IgnoringAndShowingAgain) {
    heatUp();
    view->refresh();
    const_cast<BlameRow*>(row(fakes::app("Browser")))->ignoreButton()->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(row(fakes::app("Browser")), nullptr);
    EXPECT_EQ(model->ignoredNames().count(fakes::app("Browser").id), 1U);
    EXPECT_FALSE(view->ignoredApps().isHidden());
    EXPECT_EQ(view->ignoredApps().header(), QStringLiteral("Ignoring 1 app"));
    EXPECT_TRUE(view->ignoredApps().showAllButton()->isHidden());

    view->ignoredApps().onShowAgain(fakes::app("Browser").id);
    QCoreApplication::processEvents();
    EXPECT_NE(row(fakes::app("Browser")), nullptr);
    EXPECT_TRUE(view->ignoredApps().isHidden());
}

TEST_F(PopoverViewTest, IgnoredAppsAreListedByNameWhateverTheCase) {
    const auto list = IgnoredAppsView::ignoredList({{"/1", "Beta"}, {"/2", "alpha"}, {"/3", "Gamma"}});
    ASSERT_EQ(list.size(), 3U);
    EXPECT_EQ(list[0].name, "alpha");
    EXPECT_EQ(list[1].name, "Beta");
    EXPECT_EQ(list[2].name, "Gamma");
    IgnoredAppsView ignored;
    ignored.refresh(list);
    EXPECT_EQ(ignored.header(), QStringLiteral("Ignoring 3 apps"));
    EXPECT_FALSE(ignored.showAllButton()->isHidden());
}

TEST_F(PopoverViewTest, QuitAsksOnlyTheRowWithTheSameKey) {
    heatUp();
    view->refresh();
    BlameRow* compiler = const_cast<BlameRow*>(row(fakes::app("Compiler")));
    compiler->quitButton()->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(compiler->isConfirming());
    EXPECT_FALSE(row(fakes::app("Browser"))->isConfirming());
    EXPECT_TRUE(compiler->cancelButton()->isDefault()) << "Return cancels";

    // Same id, another display name: not the same row.
    AppKey renamed = fakes::app("Compiler");
    renamed.displayName = "Other";
    model->setConfirmingQuit(renamed);
    QCoreApplication::processEvents();
    EXPECT_FALSE(compiler->isConfirming());

    model->setConfirmingQuit(fakes::app("Compiler"));
    QCoreApplication::processEvents();
    compiler->confirmButton()->click();
    QCoreApplication::processEvents();
    ASSERT_EQ(world.quitRequests.size(), 1U);
    EXPECT_EQ(world.quitRequests[0].first, fakes::app("Compiler"));
    EXPECT_FALSE(compiler->isConfirming());
    EXPECT_FALSE(view->quitMessageLabel().isHidden());
}

TEST_F(PopoverViewTest, FittingScrollViewFollowsItsContent) {
    struct Case {
        const char* name;
        int content;
        int maxHeight;
        int height;
    };
    for (const Case c : {Case{"short content", 180, 420, 180}, Case{"tall content", 600, 420, 420},
                         Case{"break maximum", 300, 250, 250}}) {
        SCOPED_TRACE(c.name);
        auto* content = new QWidget;
        content->setFixedHeight(c.content);
        FittingScrollView scroll(420, content);
        scroll.resize(340, 420);
        scroll.setMaxHeight(c.maxHeight);
        EXPECT_EQ(scroll.height(), c.height);
    }
}

TEST_F(PopoverViewTest, RestFlowShrinksTheMiddleAndHidesTheVitalsLink) {
    view->refresh();
    EXPECT_EQ(view->scrollView().maxHeight(), PopoverView::scrollMaxHeight);
    EXPECT_FALSE(view->vitalsLink().isHidden());
    model->handleRestEvents(model->coach().promptNow(), false);
    QCoreApplication::processEvents();
    ASSERT_EQ(model->restPhase(), RestPhase::prompting);
    EXPECT_EQ(view->scrollView().maxHeight(), PopoverView::restFlowScrollMaxHeight);
    EXPECT_TRUE(view->vitalsLink().isHidden());
}

TEST_F(PopoverViewTest, Screenshots) {
    const QImage chill = screenshot(QStringLiteral("popover-chill.png"));
    EXPECT_FALSE(chill.isNull());
    heatUp(100);
    model->setForcedState(HeatState::meltdown);
    const QImage meltdown = screenshot(QStringLiteral("popover-meltdown.png"));
    EXPECT_FALSE(meltdown.isNull());
    EXPECT_GT(meltdown.height(), chill.height()) << "the blame list makes the popover taller";
}

} // namespace
} // namespace halvrick::shelltest
