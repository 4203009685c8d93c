#include "ShellTestSupport.h"

#include "core/FaceState.h"
#include "menubar/EveningCardView.h"
#include "model/Copy.h"
#include "pea/AnimatedPeaView.h"
#include "pea/PeaView.h"

#include <QLabel>
#include <QLayout>
#include <QPushButton>

namespace halvrick::shelltest {
namespace {

class EveningCardViewTest : public ShellTest {
protected:
    std::unique_ptr<EveningCardView> card(const EveningSummary& summary) {
        return std::make_unique<EveningCardView>(summary, *model, [this] { ++historyShown; });
    }
};

TEST_F(EveningCardViewTest, TextsForADayWithAndWithoutAGrade) {
    EveningSummary plain;
    plain.dayKey = "2026-03-05";
    auto view = card(plain);
    EXPECT_EQ(view->titleLabel().text(), QStringLiteral("Day's done."));
    EXPECT_EQ(view->bodyLabel().text(), QStringLiteral("No heat, 0 breaks. Nobody in particular did it."));
    EXPECT_FALSE(view->goodnightButton().isHidden());
    EXPECT_FALSE(view->lookBackButton().isHidden());

    EveningSummary graded = plain;
    graded.grade = DailyGrade(91, DailyGrade::Letter::a, {});
    graded.heatSeconds = 1800;
    graded.breaksTaken = 1;
    graded.culprit = "Compiler";
    view->setSummary(graded);
    EXPECT_EQ(view->titleLabel().text().toStdString(), Copy::eveningTitle(graded.grade));
    EXPECT_EQ(view->bodyLabel().text().toStdString(), Copy::eveningBody(1800, 1, std::string("Compiler")));
}

TEST_F(EveningCardViewTest, ThePeaIsStillAndPlainWhateverTheDisplayOptions) {
    model->updateDisplayOptions(false, true);
    auto view = card(EveningSummary{});
    EXPECT_EQ(view->pea().face(), face(FaceState::hello, HeatState::chill));
    EXPECT_EQ(view->pea().style(), (PeaStyle{false, false}));
    for (const QWidget* child : view->findChildren<QWidget*>()) {
        EXPECT_EQ(dynamic_cast<const AnimatedPeaView*>(child), nullptr);
    }
}

TEST_F(EveningCardViewTest, GoodnightPutsTheCardAwayLookBackKeepsIt) {
    model->runEveningCheckNow();
    ASSERT_TRUE(model->eveningSummary().has_value());
    auto view = card(*model->eveningSummary());

    view->lookBackButton().click();
    EXPECT_EQ(historyShown, 1);
    EXPECT_TRUE(model->eveningSummary().has_value());

    view->goodnightButton().click();
    EXPECT_FALSE(model->eveningSummary().has_value());
    EXPECT_EQ(world.defaults->getString("eveningDismissedDay"), view->summary().dayKey);
}

TEST_F(EveningCardViewTest, LongTextsWrapAboveOneRowOfButtons) {
    EveningSummary summary;
    summary.culprit = std::string(30, 'x') + " " + std::string(30, 'y') + " " + std::string(30, 'z');
    auto view = card(summary);
    const int wide = view->heightForWidth(600);
    const int narrow = view->heightForWidth(240);
    EXPECT_GT(narrow, wide) << "the card grows in height";
    view->resize(240, narrow);
    view->layout()->activate();
    const QRect goodnight = view->goodnightButton().geometry();
    const QRect lookBack = view->lookBackButton().geometry();
    EXPECT_EQ(goodnight.top(), lookBack.top());
    EXPECT_GE(goodnight.top(), view->bodyLabel().geometry().bottom());
}

} // namespace
} // namespace halvrick::shelltest
