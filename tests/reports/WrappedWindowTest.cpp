#include "reports/WrappedWindowController.h"

#include "CardWindowTestSupport.h"
#include "reports/CardWindowView.h"
#include "reports/WrappedCard.h"
#include "ui/PngExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using fakes::app;

const Calendar& berlin() {
    static const Calendar calendar("Europe/Berlin");
    return calendar;
}

WrappedSummary week(double sweating, double meltdown, std::vector<StatsTotals::Culprit> culprits = {},
                    std::int64_t prompts = 0, std::int64_t breaks = 0) {
    StatsTotals totals;
    totals.sweatingSeconds = sweating;
    totals.meltdownSeconds = meltdown;
    totals.culprits = std::move(culprits);
    totals.promptsShown = prompts;
    totals.breaksTaken = breaks;
    return WrappedSummary(totals, berlin().date(2026, 3, 9, 18), berlin());
}

struct TextCase {
    const char* name;
    WrappedSummary summary;
    const char* title;
    const char* subtitle;
    const char* breaksValue;
    const char* breaksLabel;
};

TEST(WrappedCardTest, TheTextsFollowTheWeek) {
    ASSERT_TRUE(qtTestAppReady());
    const std::vector<TextCase> cases{
        {"Empty", week(0, 0), "Cool all week", "I barely broke a sweat. Love this for us.", "None",
         "breaks needed this week"},
        {"JustUnderAMinute", week(59, 0), "Cool all week", "I barely broke a sweat. Love this for us.", "None",
         "breaks needed this week"},
        {"AMinuteOfSweat", week(60, 0, {}, 3, 0), "1 min", "spent sweating or melting this week", "0 of 3",
         "breaks taken, of the ones I asked for"},
        {"AMinuteOfMeltdown", week(0, 60, {}, 0, 2), "1 min",
         "spent sweating or melting this week, 1 min of it in full meltdown", "None", "breaks needed this week"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WrappedCard::title(c.summary), QString::fromUtf8(c.title));
        EXPECT_EQ(WrappedCard::subtitle(c.summary), QString::fromUtf8(c.subtitle));
        EXPECT_EQ(WrappedCard::breaksValue(c.summary), QString::fromUtf8(c.breaksValue));
        EXPECT_EQ(WrappedCard::breaksLabel(c.summary), QString::fromUtf8(c.breaksLabel));
    }
    const WrappedSummary sample = WrappedSummary::sample(berlin().date(2026, 3, 9, 18), berlin());
    EXPECT_EQ(WrappedCard::title(sample), QStringLiteral("7 h 50 min"));
    EXPECT_EQ(WrappedCard::subtitle(sample),
              QStringLiteral("spent sweating or melting this week, 1 h 34 min of it in full meltdown"));
    EXPECT_EQ(WrappedCard::culpritLine(sample.culprits[0]), QStringLiteral("Google Chrome made me sweat 5 h 38 min"));
    EXPECT_EQ(WrappedCard::culpritLine(sample.culprits[1]), QStringLiteral("Xcode made me sweat 3 h 36 min"));
    EXPECT_EQ(WrappedCard::culpritLine(sample.culprits[2]), QStringLiteral("Docker made me sweat 2 h 12 min"));
    EXPECT_EQ(WrappedCard::breaksValue(sample), QStringLiteral("24 of 35"));
}

// Every week, the fullest included, keeps the design's 150 px pea and 18 px gaps, with every part on the
// card and the footer clear of the tiles. A quiet week pins the footer to the bottom padding.
TEST(WrappedCardTest, EveryWeekKeepsThePeaAndTheGapsOfTheDesign) {
    ASSERT_TRUE(qtTestAppReady());
    const WrappedSummary sample = WrappedSummary::sample(berlin().date(2026, 3, 9, 18), berlin());
    const std::vector<StatsTotals::Culprit> three{
        {"/usr/share/applications/firefox.desktop", "Firefox", 7200},
        {"node", "node", 3600},
        {"rustc", "rustc", 600}};
    for (const WrappedSummary& summary : {sample, week(0, 0), week(90'000, 36'000, three, 40, 12)}) {
        const WrappedCard::Layout parts = WrappedCard::layout(summary);
        EXPECT_EQ(parts.pea.size(), QSizeF(150, 150));
        EXPECT_NEAR(parts.title.top() - parts.pea.bottom(), 18, 0.01);
        EXPECT_NEAR(parts.culpritsHeading.top() - parts.subtitle.bottom(), 18, 0.01);
        EXPECT_NEAR(parts.tiles.top() - parts.culpritRows.back().bottom(), 18, 0.01);
        EXPECT_GE(parts.footer.top() - parts.tiles.bottom(), 36 - 0.01) << "the gaps around the spacer";
        EXPECT_GE(parts.pea.top(), 0);
        EXPECT_LE(parts.footer.bottom(), WrappedCard::size.height());
        EXPECT_NEAR(parts.pea.top(), WrappedCard::size.height() - parts.footer.bottom(), 0.01)
            << "a stack that fills the card sits in its middle";
        EXPECT_EQ(parts.culpritRows.size(), std::max<std::size_t>(summary.culprits.size(), 1));
    }
    const WrappedCard::Layout quiet = WrappedCard::layout(week(0, 0));
    EXPECT_EQ(quiet.pea.top(), WrappedCard::padding);
    EXPECT_EQ(quiet.footer.bottom(), WrappedCard::size.height() - WrappedCard::padding);
    const WrappedCardData data = WrappedCardData::of(sample, berlin(), {});
    const QImage image = PngExport::render(
        [&](QPainter& painter, QSizeF size) { WrappedCard::paint(painter, size, data); }, WrappedCard::size, 2);
    ASSERT_EQ(image.size(), QSize(1200, 1200));
    image.save(QDir::current().filePath(QStringLiteral("wrapped-card.png")));
    EXPECT_EQ(image.pixelColor(600, 2), QColor(244, 251, 233));
}

class WrappedWindowTest : public CardWindowTest {
protected:
    void makeController(std::optional<QString> answer) {
        controller = std::make_unique<WrappedWindowController>(*model, worldClock(), dialog(std::move(answer)));
    }

    std::unique_ptr<WrappedWindowController> controller;
};

TEST_F(WrappedWindowTest, TheSampleWeekIsShownWithoutMarkingTheSummarySeen) {
    makeController(std::nullopt);
    const Date before = world.now;
    controller->showSample();
    ASSERT_NE(controller->window(), nullptr);
    EXPECT_EQ(controller->window()->windowTitle(), QStringLiteral("Zurez Erazuri"));
    auto* card = dynamic_cast<WrappedCardWidget*>(&controller->view()->card());
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->data().summary, WrappedSummary::sample(before, world.calendar));
    EXPECT_EQ(WrappedWindowController::fileName(card->data().summary, world.calendar),
              QStringLiteral("Zurez Erazuri 2026-03-05.png"));
}

// A cancelled save leaves whatever line was there; a failed one says so, a good one says "Saved.".
TEST_F(WrappedWindowTest, SavingReportsSuccessAndFailureButNotACancel) {
    const QString target = runtime.filePath(QStringLiteral("week.png"));
    makeController(target);
    controller->showLastWeek();
    controller->view()->save();
    EXPECT_EQ(controller->view()->message(), QString::fromUtf8(CardWindowView::savedText));
    EXPECT_EQ(QImage(target).size(), QSize(1200, 1200));

    makeController(std::nullopt);
    controller->showLastWeek();
    EXPECT_EQ(controller->view()->message(), QString()) << "every show starts without a line";
    controller->view()->save();
    EXPECT_EQ(controller->view()->message(), QString());
}

} // namespace
} // namespace halvrick
