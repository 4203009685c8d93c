#include "ShellTestSupport.h"

#include "menubar/HabitStripView.h"
#include "ui/GlyphView.h"

#include <QCoreApplication>
#include <QLayout>
#include <QMouseEvent>

namespace halvrick::shelltest {
namespace {

ChallengeProgress progress(std::int64_t metBefore, bool todayMet, bool todayInWindow) {
    ChallengeProgress p;
    p.metDays = metBefore;
    p.todayMet = todayMet;
    p.todayInWindow = todayInWindow;
    return p;
}

TEST(HabitStripContentTest, ShownWithAGradeOrAChallengeInProgress) {
    const DailyGrade b82(82, DailyGrade::Letter::b, {});
    struct Case {
        const char* name;
        std::optional<DailyGrade> grade;
        std::optional<ChallengeKind> kind;
        std::optional<ChallengeProgress> progress;
        std::optional<HabitStripView::Content> content;
    };
    using Content = HabitStripView::Content;
    for (const Case& c : {
             Case{"nothing to say", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
             Case{"a challenge without progress", std::nullopt, ChallengeKind::coolHead, std::nullopt, std::nullopt},
             Case{"grade only", b82, std::nullopt, std::nullopt, Content{"Today's grade · B 82", true, std::nullopt}},
             Case{"challenge only", std::nullopt, ChallengeKind::chillWeek, progress(2, true, true),
                  Content{"Today · warming up", false, "Chill week · 3/5"}},
             Case{"both", b82, ChallengeKind::breakHabit, progress(1, false, true),
                  Content{"Today's grade · B 82", true, "Break habit · 1/5"}},
             Case{"today met outside the window", b82, ChallengeKind::coolHead, progress(2, true, false),
                  Content{"Today's grade · B 82", true, "Cool head · 2/5"}},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HabitStripView::content(c.grade, c.kind, c.progress), c.content);
    }
}

class HabitStripViewTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        strip = std::make_unique<HabitStripView>(*model, [this] { ++opened; }, [this] { return world.now; });
    }

    std::unique_ptr<HabitStripView> strip;
    int opened = 0;
};

TEST_F(HabitStripViewTest, AppearsWhenTodayEarnsAGradeAndFollowsTheChallenge) {
    EXPECT_FALSE(strip->shown().has_value());
    EXPECT_TRUE(strip->isHidden()) << "no empty box";

    model->seedSampleWeek();
    strip->refresh();
    ASSERT_TRUE(strip->shown().has_value());
    EXPECT_TRUE(strip->shown()->hasGrade);
    EXPECT_EQ(strip->shown()->challengeText, std::nullopt);
    EXPECT_FALSE(strip->isHidden());

    model->startChallenge(ChallengeKind::chillWeek, world.now);
    strip->refresh();
    ASSERT_TRUE(strip->shown().has_value());
    EXPECT_EQ(strip->shown()->challengeText, "Chill week · 1/5") << "today is already cool";

    // Hidden by its host, it comes back on the next refresh with nothing changed.
    strip->hide();
    strip->refresh();
    EXPECT_FALSE(strip->isHidden());
}

TEST_F(HabitStripViewTest, OneLineWhoseWholeBackgroundIsTheButton) {
    model->seedSampleWeek();
    model->startChallenge(ChallengeKind::breakHabit, world.now);
    strip->refresh();
    strip->resize(300, strip->sizeHint().height());
    strip->layout()->activate();
    const int oneLine = strip->height();
    EXPECT_EQ(strip->toolTip(), QStringLiteral("Today's grade and this week's challenge."));

    // Narrower than its texts: they shorten on one line, the chevron stays at the trailing edge.
    strip->resize(120, oneLine);
    strip->layout()->activate();
    EXPECT_FALSE(strip->hasHeightForWidth());
    EXPECT_EQ(strip->sizeHint().height(), oneLine);
    const GlyphView* chevron = nullptr;
    for (const QWidget* child : strip->findChildren<QWidget*>()) {
        chevron = chevron ? chevron : dynamic_cast<const GlyphView*>(child);
    }
    ASSERT_NE(chevron, nullptr);
    EXPECT_EQ(chevron->geometry().right(), strip->width() - 9 - 1);

    // A click on the padding next to the chevron, away from every text.
    const QPointF corner(strip->width() - 2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, corner, strip->mapToGlobal(corner), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, corner, strip->mapToGlobal(corner), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(strip.get(), &press);
    QCoreApplication::sendEvent(strip.get(), &release);
    EXPECT_EQ(opened, 1);
}

} // namespace
} // namespace halvrick::shelltest
