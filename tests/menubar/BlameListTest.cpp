#include "menubar/BlameList.h"

#include "ShellTestSupport.h"
#include "menubar/BlameRows.h"
#include "model/Copy.h"

#include <QLayout>
#include <QToolButton>
#include <memory>

namespace halvrick::shelltest {
namespace {

// The list alone, refreshed by hand as its host does.
class BlameListTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // Never shown: what the list shows is what it asked for.
        host = std::make_unique<QWidget>();
        list = new BlameList(model->blame(), model->appDirectory(), host.get());
        list->onIgnore = [this](const AppKey& key) { ignored.push_back(key); };
    }

    BlameRow* row(const AppKey& key) const {
        const auto it = list->rows().find(key);
        return it == list->rows().end() ? nullptr : it->second;
    }

    void sample(const std::vector<std::pair<AppKey, double>>& cpuSeconds) {
        for (int i = 0; i < 6; ++i) {
            world.advance(2);
            model->ingestProcesses(fakes::processSample(world.now, 2, cpuSeconds));
        }
    }

    std::unique_ptr<QWidget> host;
    BlameList* list = nullptr;
    std::vector<AppKey> ignored;
};

TEST_F(BlameListTest, RowsFollowTheTopApplicationsAndSayWhenTheyMoved) {
    EXPECT_FALSE(list->refresh(ThermalLevel::nominal)) << "nothing listed, nothing moved";
    EXPECT_TRUE(list->isHidden());

    heatUp();
    EXPECT_TRUE(list->refresh(ThermalLevel::nominal));
    const std::vector<AppKey> first{fakes::app("Compiler"), fakes::app("Browser"), AppKey::system()};
    ASSERT_EQ(list->rowOrder(), first);
    EXPECT_FALSE(list->isHidden());
    BlameRow* compiler = row(fakes::app("Compiler"));
    EXPECT_FALSE(list->refresh(ThermalLevel::nominal)) << "the same rows in the same order";

    // The browser overtakes and a game comes in; the rows that stay are the same objects.
    sample({{fakes::app("Browser"), 4}, {fakes::app("Game"), 3}, {fakes::app("Compiler"), 0.1}});
    EXPECT_TRUE(list->refresh(ThermalLevel::nominal));
    const std::vector<AppKey> order = list->rowOrder();
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), fakes::app("Browser"));
    EXPECT_EQ(order, [&] {
        std::vector<AppKey> keys;
        for (const AppShare& entry : model->blame().topApps()) {
            keys.push_back(entry.app);
        }
        return keys;
    }());
    EXPECT_EQ(row(fakes::app("Compiler")), compiler);
    EXPECT_EQ(list->rows().size(), order.size()) << "a key that left the list loses its row";
}

TEST_F(BlameListTest, FiguresAloneMoveNoRow) {
    heatUp();
    list->refresh(ThermalLevel::nominal);
    const std::vector<AppKey> before = list->rowOrder();
    const AppShare systemShown = row(AppKey::system())->entry();

    sample({{fakes::app("Browser"), 4}, {fakes::app("Game"), 3}, {fakes::app("Compiler"), 0.1}});
    list->refreshFigures();
    EXPECT_EQ(list->rowOrder(), before);
    EXPECT_EQ(row(fakes::app("Game")), nullptr);
    const std::vector<AppShare>& top = model->blame().topApps();
    const auto browser = std::find_if(top.begin(), top.end(),
                                      [](const AppShare& s) { return s.app == fakes::app("Browser"); });
    ASSERT_NE(browser, top.end());
    EXPECT_EQ(row(fakes::app("Browser"))->shareLabel().text().toStdString(), Copy::percent(browser->share));
    ASSERT_EQ(
        std::find_if(top.begin(), top.end(), [](const AppShare& s) { return s.app == AppKey::system(); }),
        top.end());
    EXPECT_EQ(row(AppKey::system())->entry(), systemShown)
        << "a row that left the list keeps its last figure";
}

TEST_F(BlameListTest, QuitAsksOnlyTheRowWithTheSameKeyAndIgnoreGoesToTheHost) {
    heatUp();
    list->refresh(ThermalLevel::nominal);
    BlameRow* compiler = row(fakes::app("Compiler"));
    compiler->quitButton()->click();
    list->refresh(ThermalLevel::nominal);
    EXPECT_EQ(model->blame().confirmingQuit(), fakes::app("Compiler"));
    EXPECT_TRUE(compiler->isConfirming());
    EXPECT_FALSE(row(fakes::app("Browser"))->isConfirming());
    EXPECT_TRUE(compiler->cancelButton()->isDefault()) << "Return cancels";

    // Same id, another display name: not the same row.
    AppKey renamed = fakes::app("Compiler");
    renamed.displayName = "Other";
    model->blame().setConfirmingQuit(renamed);
    list->refresh(ThermalLevel::nominal);
    EXPECT_FALSE(compiler->isConfirming());

    model->blame().setConfirmingQuit(fakes::app("Compiler"));
    list->refresh(ThermalLevel::nominal);
    compiler->cancelButton()->click();
    EXPECT_EQ(model->blame().confirmingQuit(), std::nullopt);

    model->blame().setConfirmingQuit(fakes::app("Compiler"));
    list->refresh(ThermalLevel::nominal);
    compiler->confirmButton()->click();
    list->refresh(ThermalLevel::nominal);
    ASSERT_EQ(world.quitRequests.size(), 1U);
    EXPECT_EQ(world.quitRequests[0].first, fakes::app("Compiler"));
    EXPECT_FALSE(compiler->isConfirming());
    EXPECT_TRUE(compiler->isLeaving());
    EXPECT_TRUE(model->blame().quitMessage());

    row(fakes::app("Browser"))->ignoreButton()->click();
    EXPECT_EQ(ignored, std::vector<AppKey>{fakes::app("Browser")});
    EXPECT_TRUE(model->blame().ignoredNames().empty()) << "the host decides what an ignore does";
}

TEST_F(BlameListTest, TheSystemsPartsStandUnderTheSystemRowOnceKnown) {
    heatUp();
    list->refresh(ThermalLevel::nominal);
    EXPECT_TRUE(list->systemParts().isHidden());

    double cpu = 0;
    for (int i = 0; i < 2; ++i) {
        world.advance(2);
        cpu += 0.5;
        model->blame().ingestListing({{7, cpu, "/usr/bin/indexer"}}, world.now);
    }
    ASSERT_FALSE(model->blame().systemParts().empty());
    list->refresh(ThermalLevel::nominal);
    EXPECT_FALSE(list->systemParts().isHidden());
    EXPECT_EQ(list->systemParts().rowCount(), 1);
    const auto* layout = list->layout();
    const int system = layout->indexOf(row(AppKey::system()));
    EXPECT_EQ(layout->indexOf(&list->systemParts()), system + 1);
}

} // namespace
} // namespace halvrick::shelltest
