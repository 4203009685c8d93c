#include "reports/ChallengeSection.h"
#include "reports/GradeRow.h"

#include "DarkPalette.h"
#include "../model/AppModelFakes.h"
#include "QtTestApp.h"
#include "core/StatsLedger.h"
#include "model/ChallengeStore.h"
#include "model/Copy.h"
#include "reports/GradeCard.h"
#include "reports/HistoryWindowController.h"
#include "reports/HistoryView.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

const Calendar& berlin() {
    static const Calendar calendar("Europe/Berlin");
    return calendar;
}

// A day that earns a grade: an hour at the computer, a little heat, the breaks it was asked for.
void gradedDay(StatsLedger& ledger, Date at, double heat = 120) {
    ledger.addActive(3600, at, berlin());
    ledger.addHeat(heat, HeatState::sweating, at, berlin());
    ledger.recordPromptShown(at, berlin());
    ledger.recordBreakTaken(at, berlin());
    ledger.recordStretch(1800, at, berlin());
}

TEST(GradeRowTest, EachLetterTakesItsTintForTheAppearanceAndContrast) {
    struct Row {
        std::vector<DailyGrade::Letter> letters;
        std::array<QRgb, 4> tints;
    };
    using L = DailyGrade::Letter;
    const std::vector<Row> table{
        {{L::a, L::b}, {0x2E7D5B, 0x7BC9A2, 0x1E5C42, 0xA6E6C7}},
        {{L::c}, {0xB26A00, 0xE5A93F, 0x8A5200, 0xFFC46B}},
        {{L::d, L::f}, {0xB2402E, 0xE77B68, 0x8C2E1F, 0xFF9A85}},
    };
    for (const Row& row : table) {
        for (const L letter : row.letters) {
            EXPECT_EQ(GradeCard::tint(letter, false, false), QColor::fromRgb(row.tints[0]));
            EXPECT_EQ(GradeCard::tint(letter, true, false), QColor::fromRgb(row.tints[1]));
            EXPECT_EQ(GradeCard::tint(letter, false, true), QColor::fromRgb(row.tints[2]));
            EXPECT_EQ(GradeCard::tint(letter, true, true), QColor::fromRgb(row.tints[3]));
        }
    }
}

// Today is the chip whose day the calendar calls today, around midnight and on the night the clocks
// go forward; the labels read the weekday with the grade or without one.
TEST(GradeRowTest, ChipsMarkTheCalendarsTodayAndSayTheirGrade) {
    ASSERT_TRUE(qtTestAppReady());
    StatsLedger ledger;
    for (int day = 22; day <= 29; ++day) {
        gradedDay(ledger, berlin().date(2026, 3, day, 12));
    }
    struct Moment {
        const char* name;
        Date now;
        const char* today;
    };
    for (const Moment& m : {Moment{"BeforeMidnight", berlin().date(2026, 3, 28, 23, 59), "2026-03-28"},
                            Moment{"AfterMidnight", berlin().date(2026, 3, 29, 0, 1), "2026-03-29"},
                            Moment{"AfterTheClocksWentForward", berlin().date(2026, 3, 29, 3, 30), "2026-03-29"}}) {
        SCOPED_TRACE(m.name);
        const std::vector<DailyTotals> days = ledger.dailyTotals(7, m.now, berlin());
        const std::vector<GradeRow::Chip> chips = GradeRow::chips(days, m.now, berlin());
        ASSERT_EQ(chips.size(), 7u);
        for (std::size_t i = 0; i < chips.size(); ++i) {
            EXPECT_EQ(chips[i].isToday, i == 6);
            EXPECT_EQ(chips[i].day, days[i].day);
        }
        EXPECT_EQ(chips.back().day, m.today);
    }
    // Built before midnight and read after it: the badge still grades the last day, no chip is today.
    const std::vector<DailyTotals> lateBuilt = ledger.dailyTotals(7, berlin().date(2026, 3, 28, 23, 59), berlin());
    for (const GradeRow::Chip& chip : GradeRow::chips(lateBuilt, berlin().date(2026, 3, 29, 0, 1), berlin())) {
        EXPECT_FALSE(chip.isToday);
    }
    EXPECT_TRUE(GradeRow::todayGrade(lateBuilt).has_value());

    StatsLedger thin;
    thin.addActive(600, berlin().date(2026, 3, 5, 10), berlin());
    gradedDay(thin, berlin().date(2026, 3, 4, 10));
    const std::vector<GradeRow::Chip> chips =
        GradeRow::chips(thin.dailyTotals(2, berlin().date(2026, 3, 5, 18), berlin()), berlin().date(2026, 3, 5, 18),
                        berlin());
    ASSERT_EQ(chips.size(), 2u);
    const DailyGrade grade = *DailyGrade::evaluate(thin.dailyTotals(2, berlin().date(2026, 3, 5, 18), berlin())[0]);
    EXPECT_EQ(chips[0].accessibleLabel, QStringLiteral("Wed: %1, %2 out of 100")
                                            .arg(QString::fromUtf8(toString(grade.letter).data(), 1))
                                            .arg(grade.value));
    EXPECT_EQ(chips[1].letter, QStringLiteral("–"));
    EXPECT_FALSE(chips[1].hasGrade);
    EXPECT_EQ(chips[1].accessibleLabel, QStringLiteral("Thu: no grade"));
}

TEST(GradeRowTest, WithoutAGradeThePeaDozesAndNothingIsShared) {
    ASSERT_TRUE(qtTestAppReady());
    GradeRow row([] { return std::optional<QString>(); });
    const Date now = berlin().date(2026, 3, 5, 18);
    row.set({}, Personality::mild, now, berlin(), false);
    EXPECT_FALSE(row.grade());
    EXPECT_TRUE(row.shareButton().isHidden());
    EXPECT_TRUE(row.shownChips().empty());
    EXPECT_EQ(row.line().text(), QString::fromUtf8(GradeRow::noGradeLine));

    StatsLedger ledger;
    gradedDay(ledger, now);
    const std::vector<DailyTotals> days = ledger.dailyTotals(7, now, berlin());
    row.set(days, Personality::gremlin, now, berlin(), false);
    ASSERT_TRUE(row.grade());
    EXPECT_FALSE(row.shareButton().isHidden());
    EXPECT_EQ(row.shareButton().text(), QStringLiteral("Share grade…"));
    EXPECT_EQ(row.line().text(), QString::fromStdString(Copy::gradeLine(*row.grade(), Personality::gremlin)));
    EXPECT_EQ(row.badge().accessibleName(), QString::fromStdString(Copy::gradeAccessibility(*row.grade())));
    EXPECT_EQ(row.tint(), GradeCard::tint(row.grade()->letter, false, false));
    row.set(days, Personality::gremlin, now, berlin(), true);
    EXPECT_EQ(row.tint(), GradeCard::tint(row.grade()->letter, false, true)) << "increased contrast";
}

TEST(ChallengeSectionTest, TheFirstCardThatAppliesIsShown) {
    const ActiveChallenge active(ChallengeKind::coolHead, "2026-03-02", berlin().date(2026, 3, 2, 9));
    const ChallengeResult result(ChallengeKind::chillWeek, "2026-02-20", "2026-02-26", 5,
                                 ChallengeResult::Outcome::completed);
    const ChallengeProgress progress;
    using Card = ChallengeSection::Card;
    EXPECT_EQ(ChallengeSection::choose(result, active, progress), Card::result);
    EXPECT_EQ(ChallengeSection::choose(std::nullopt, active, progress), Card::active);
    EXPECT_EQ(ChallengeSection::choose(std::nullopt, active, std::nullopt), Card::starters);
    EXPECT_EQ(ChallengeSection::choose(std::nullopt, std::nullopt, std::nullopt), Card::starters);
}

TEST(ChallengeSectionTest, MissesLeftNeverGoBelowZeroAndOnlyOneIsSingular) {
    struct Case {
        std::int64_t elapsed;
        std::int64_t met;
        const char* text;
    };
    for (const Case& c : {Case{0, 0, "2 misses left"}, Case{3, 2, "1 miss left"}, Case{4, 2, "0 misses left"},
                          Case{6, 1, "0 misses left"}, Case{5, 5, "2 misses left"}}) {
        ChallengeProgress progress;
        progress.elapsedDays = c.elapsed;
        progress.metDays = c.met;
        EXPECT_EQ(Copy::missesLeft(progress), c.text) << c.elapsed << " " << c.met;
    }
}

class ChallengeSectionModelTest : public fakes::ModelTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(qtTestAppReady());
        make();
        model->start();
        section = std::make_unique<ChallengeSection>(
            *model, [this] { return world.now; }, [this] { return world.calendar; });
    }

    QPushButton* button(const QString& title) {
        for (QPushButton* candidate : section->findChildren<QPushButton*>()) {
            if (candidate->text() == title && !candidate->isHidden() && candidate->parentWidget()->isVisibleTo(section.get())) {
                return candidate;
            }
        }
        return nullptr;
    }

    std::unique_ptr<ChallengeSection> section;
};

TEST_F(ChallengeSectionModelTest, StartingFromAStarterReachesTheStoreAndGivingUpAsksFirst) {
    EXPECT_EQ(section->card(), ChallengeSection::Card::starters);
    QPushButton* start = section->findChild<QPushButton*>(QStringLiteral("Break habit"));
    ASSERT_NE(start, nullptr);
    start->click();
    ASSERT_TRUE(model->challenges().active());
    EXPECT_EQ(model->challenges().active()->kind, ChallengeKind::breakHabit);
    EXPECT_EQ(model->activeChallenge(), model->challenges().active());
    EXPECT_EQ(section->card(), ChallengeSection::Card::active);

    ASSERT_NE(button(QStringLiteral("Give up")), nullptr);
    button(QStringLiteral("Give up"))->click();
    EXPECT_TRUE(section->confirmingGiveUp());
    ASSERT_NE(button(QStringLiteral("Keep going")), nullptr);
    button(QStringLiteral("Keep going"))->click();
    EXPECT_FALSE(section->confirmingGiveUp());

    // A different running challenge ends a pending question.
    button(QStringLiteral("Give up"))->click();
    ASSERT_TRUE(section->confirmingGiveUp());
    model->startChallenge(ChallengeKind::coolHead, world.now);
    EXPECT_FALSE(section->confirmingGiveUp());

    button(QStringLiteral("Give up"))->click();
    button(QStringLiteral("Give up"))->click();
    EXPECT_EQ(model->challenges().active(), std::nullopt);
    EXPECT_EQ(model->challengeResult(), std::nullopt) << "giving up records no result";
    EXPECT_EQ(section->card(), ChallengeSection::Card::starters);
}

TEST_F(ChallengeSectionModelTest, AResultIsShownUntilDismissed) {
    model->startChallenge(ChallengeKind::chillWeek, world.now);
    model->challenges().setLastResult(ChallengeResult(ChallengeKind::chillWeek, "2026-02-20", "2026-02-26", 3,
                                                      ChallengeResult::Outcome::failed));
    model->syncChallengeStore();
    EXPECT_EQ(section->card(), ChallengeSection::Card::result) << "a result beats the running challenge";
    ASSERT_NE(button(QStringLiteral("Dismiss")), nullptr);
    button(QStringLiteral("Dismiss"))->click();
    EXPECT_EQ(model->challenges().lastResult(), std::nullopt);
    EXPECT_NE(section->card(), ChallengeSection::Card::result);
}

// The top of the window in each state, light and dark, for looking at.
TEST_F(ChallengeSectionModelTest, TheHabitSectionInEachState) {
    for (int day = 6; day >= 0; --day) {
        gradedDay(model->stats().ledger(), world.calendar.addingDays(-day, world.now));
    }
    HistoryWindowController history(*model, [this] { return world.now; }, [this] { return world.calendar; },
                                    nullptr);
    struct State {
        const char* name;
        std::function<void()> set;
    };
    const std::vector<State> states{
        {"none", [] {}},
        {"active", [this] { model->startChallenge(ChallengeKind::breakHabit, world.calendar.addingDays(-3, world.now)); }},
        {"won", [this] {
             model->challenges().setLastResult(ChallengeResult(ChallengeKind::breakHabit, "2026-02-26", "2026-03-04",
                                                               5, ChallengeResult::Outcome::completed));
             model->syncChallengeStore();
         }},
        {"lost", [this] {
             model->challenges().setLastResult(ChallengeResult(ChallengeKind::coolHead, "2026-02-26", "2026-03-04",
                                                               2, ChallengeResult::Outcome::failed));
             model->syncChallengeStore();
         }},
    };
    for (const State& state : states) {
        state.set();
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? darkPalette() : QPalette());
            history.show();
            QWidget& window = *history.window();
            window.resize(760, 760);
            // The scroll area sizes its new column over a few rounds of posted layout requests.
            for (int round = 0; round < 3; ++round) {
                QCoreApplication::processEvents();
            }
            window.grab(QRect(0, 0, 760, 460))
                .save(QDir::current().filePath(QStringLiteral("habits-%1-%2.png")
                                                   .arg(QString::fromLatin1(state.name),
                                                        dark ? QStringLiteral("dark") : QStringLiteral("light"))));
        }
    }
    QApplication::setPalette(QPalette());
    EXPECT_EQ(history.view()->gradeRow().shownChips().size(), 7u);
}

} // namespace
} // namespace halvrick
