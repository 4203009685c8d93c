#include "VitalsTestSupport.h"

#include "reports/VitalsBar.h"
#include "reports/VitalsFolderSection.h"
#include "reports/VitalsMemoryByApp.h"
#include "reports/VitalsMemoryCard.h"
#include "reports/VitalsStorageCard.h"
#include "reports/VitalsWhatChanged.h"
#include "ui/ElidedLabel.h"
#include "ui/Theme.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>

namespace halvrick::vitalstest {
namespace {

const QString minus = QString::fromUtf8("\u2212");

Uuid id(int n) {
    char text[37];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", n);
    return *Uuid::fromString(text);
}

ProcessSampler::Sample footprints(Date at, const std::vector<std::pair<std::string, std::uint64_t>>& apps) {
    ProcessSampler::Sample sample;
    sample.time = at;
    sample.interval = 2;
    for (const auto& [name, bytes] : apps) {
        sample.footprints[fakes::app(name)] = bytes;
    }
    return sample;
}

bool shown(const QWidget& widget, const QWidget& top) { return widget.isVisibleTo(&top); }

class VitalsViewTest : public VitalsTest {};

TEST_F(VitalsViewTest, BeforeTheFirstReadingOnlyTheHeaderAndTheReadingLineShow) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    EXPECT_TRUE(shown(view->reading(), *top));
    EXPECT_EQ(view->reading().text(), "Reading the machine…");
    EXPECT_FALSE(shown(view->cards(), *top));
    EXPECT_FALSE(shown(view->whatChanged(), *top));
    EXPECT_FALSE(shown(view->memoryByApp(), *top));
    EXPECT_FALSE(shown(view->footer(), *top));

    model->ingestVitals(vitals());
    settle();
    EXPECT_FALSE(shown(view->reading(), *top));
    EXPECT_TRUE(shown(view->cards(), *top));
    EXPECT_TRUE(shown(view->footer(), *top));
    EXPECT_EQ(view->footer().text(), "Read locally every few seconds. Nothing leaves this computer.");
}

TEST_F(VitalsViewTest, MemoryCardShowsUseOfTotalPressureSwapCacheAndTodaysPeak) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    // The ledger's day record is made by the sample, with this sample as its peak.
    model->ingestVitals(vitals(6ull << 30, 0, MemoryPressure::warning));
    settle();
    const VitalsMemoryCard& card = view->memory();
    EXPECT_EQ(card.used().text(), "6.0 GB");
    EXPECT_EQ(card.total().text(), "of 16.0 GB");
    EXPECT_DOUBLE_EQ(card.bar().value(), 0.375);
    EXPECT_EQ(card.bar().colour(), Theme::colour(Theme::Colour::orange, card.palette()));
    EXPECT_EQ(card.pressure().text(), "pressure warning");
    EXPECT_EQ(card.swap().text(), "none");
    EXPECT_EQ(card.cache().text(), "2.0 GB");
    EXPECT_TRUE(shown(card.peakRow(), *top));
    EXPECT_EQ(card.peak().text(), "6.0 GB");

    world.advance(5);
    model->ingestVitals(vitals(4ull << 30, 1536ull << 20, MemoryPressure::critical));
    settle();
    EXPECT_EQ(card.swap().text(), "1.5 GB");
    EXPECT_EQ(card.peak().text(), "6.0 GB");
    EXPECT_EQ(card.bar().colour(), Theme::colour(Theme::Colour::red, card.palette()));

    // A day without a record, or with a peak of 0, has no peak line.
    ledger().days.clear();
    world.advance(5);
    model->ingestVitals(vitals(0, 0, MemoryPressure::normal));
    ledger().days.clear();
    settle();
    EXPECT_FALSE(shown(card.peakRow(), *top));
    EXPECT_EQ(card.bar().colour(), Theme::accent(card.palette()));
    world.advance(5);
    model->ingestVitals(vitals(0));
    settle();
    ASSERT_TRUE(ledger().day(world.now, world.calendar));
    EXPECT_EQ(ledger().day(world.now, world.calendar)->peakMemoryUsed, 0u);
    EXPECT_FALSE(shown(card.peakRow(), *top));
}

TEST_F(VitalsViewTest, AnEmptyMemoryTotalDrawsAnEmptyBar) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(vitals(0, 0, MemoryPressure::normal, 500'000'000'000, 200'000'000'000, 0));
    settle();
    const VitalsBar& bar = view->memory().bar();
    EXPECT_EQ(bar.value(), 0);
    const QImage picture = const_cast<VitalsBar&>(bar).grab().toImage();
    const QColor accent = bar.colour();
    for (int x = 0; x < picture.width(); ++x) {
        EXPECT_NE(picture.pixelColor(x, picture.height() / 2).rgb(), accent.rgb()) << x;
    }
}

TEST_F(VitalsViewTest, StorageCardIsNearlyFullFromNinetyPercentAndSaysWhenTheDiskCannotBeRead) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    const VitalsStorageCard& card = view->storage();
    const QColor orange = Theme::colour(Theme::Colour::orange, card.palette());

    model->ingestVitals(vitals(6ull << 30, 0, MemoryPressure::normal, 1'000'000'000'000, 100'000'000'000));
    settle();
    EXPECT_EQ(card.used().text(), "900 GB");
    EXPECT_EQ(card.total().text(), "of 1.0 TB");
    EXPECT_EQ(card.free().text(), "100 GB");
    EXPECT_DOUBLE_EQ(card.bar().value(), 0.9);
    EXPECT_EQ(card.bar().colour(), orange);
    EXPECT_TRUE(shown(card.nearlyFull(), *top));
    EXPECT_EQ(card.nearlyFull().text(), "nearly full");

    model->ingestVitals(vitals(6ull << 30, 0, MemoryPressure::normal, 1'000'000'000'000, 101'000'000'000));
    settle();
    EXPECT_EQ(card.bar().colour(), Theme::accent(card.palette()));
    EXPECT_FALSE(shown(card.nearlyFull(), *top));

    model->ingestVitals(vitals(6ull << 30, 0, MemoryPressure::normal, 0, 0));
    settle();
    EXPECT_TRUE(shown(card.unreadable(), *top));
    EXPECT_EQ(card.unreadable().text(), "The startup disk can't be read right now.");
    EXPECT_FALSE(shown(card.figures(), *top));
}

TEST_F(VitalsViewTest, ComparisonsAgainstThisMorningYesterdayAndAWeekAgo) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(vitals());
    settle();
    const VitalsWhatChanged& panel = view->whatChanged();
    EXPECT_TRUE(shown(panel.noComparisons(), *top));
    EXPECT_EQ(panel.noComparisons().text(), "Nothing much changed.");

    ledger().snapshots = {VitalsSnapshot(world.now - 604800, 5ull << 30, 0, MemoryPressure::normal, 200'000'000'000),
                          VitalsSnapshot(world.now - 86400, 6ull << 30, 1ull << 20, MemoryPressure::normal,
                                         203'400'000'000)};
    world.advance(5);
    model->ingestVitals(vitals());
    settle();
    EXPECT_FALSE(shown(panel.noComparisons(), *top));
    const auto& lines = panel.comparisonLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].text->text(), "Yesterday at this time");
    EXPECT_EQ(lines[0].value->text(), "Swap " + minus + "1.0 MB · Free " + minus + "3.4 GB");
    EXPECT_EQ(lines[1].text->text(), "A week ago");
    EXPECT_EQ(lines[1].value->text(), "Memory +1.0 GB");
}

TEST_F(VitalsViewTest, TheNewestEightEventsWithHowLongAgo) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(vitals());
    settle();
    const VitalsWhatChanged& panel = view->whatChanged();
    EXPECT_TRUE(shown(panel.noEvents(), *top));
    EXPECT_EQ(panel.noEvents().text(), "Nothing worth mentioning yet. The pea is watching.");

    for (int i = 9; i >= 1; --i) {
        ledger().events.emplace_back(id(i), world.now - i * 3600.0, VitalsEventKind::storageFreed(i * 1'000'000'000ull));
    }
    world.advance(5);
    model->ingestVitals(vitals());
    settle();
    EXPECT_FALSE(shown(panel.noEvents(), *top));
    int listed = 0;
    for (const auto& line : panel.eventLines()) {
        listed += shown(*line.row, *top) ? 1 : 0;
    }
    EXPECT_EQ(listed, 8);
    EXPECT_EQ(panel.eventLines()[0].text->text(), "You freed 1.0 GB. The floor is visible again.");
    EXPECT_EQ(panel.eventLines()[0].value->text(), "1 hour ago");
    EXPECT_EQ(panel.eventLines()[7].value->text(), "8 hours ago");
}

TEST_F(VitalsViewTest, MemoryByAppListsSixWithBarsAgainstTheLargestAndNotesAgainstYesterday) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(vitals());
    settle();
    const VitalsMemoryByApp& panel = view->memoryByApp();
    EXPECT_TRUE(shown(panel.empty(), *top));
    EXPECT_EQ(panel.empty().text(), "Nothing is holding much memory right now.");

    VitalsDay yesterday(StatsLedger::dayKey(daysAgo(1), world.calendar));
    const auto peak = [&](const std::string& name, std::uint64_t bytes) {
        const AppKey key = fakes::app(name);
        yesterday.apps[key.id] = AppMemoryPeak(key.id, name, bytes, bytes, daysAgo(1));
    };
    peak("Firefox", 3ull << 30);
    peak("Editor", 0);
    peak("Mail", (1ull << 30) + 50'000'000);
    ledger().days[yesterday.day] = yesterday;

    model->ingestProcesses(footprints(world.now, {{"Firefox", 4ull << 30}, {"Editor", 2ull << 30},
                                                  {"Mail", 1ull << 30}, {"Chat\u202Eevil", 512ull << 20},
                                                  {"Music", 256ull << 20}, {"Notes", 128ull << 20},
                                                  {"Clock", 64ull << 20}}));
    settle();
    EXPECT_FALSE(shown(panel.empty(), *top));
    ASSERT_EQ(panel.lines().size(), 6u);
    const auto& first = panel.lines()[0];
    EXPECT_EQ(first.name->fullText(), "Firefox");
    EXPECT_EQ(first.bytes->text(), "4.0 GB");
    EXPECT_EQ(first.note->text(), "+1.0 GB since yesterday");
    EXPECT_TRUE(shown(*first.note, *top));
    EXPECT_DOUBLE_EQ(first.bar->value(), 1);
    EXPECT_DOUBLE_EQ(panel.lines()[1].bar->value(), 0.5);
    // A peak of 0, or a change under 100,000,000 bytes, has no note.
    EXPECT_FALSE(shown(*panel.lines()[1].note, *top));
    EXPECT_FALSE(shown(*panel.lines()[2].note, *top));
    // A name cannot turn the text around it.
    EXPECT_EQ(panel.lines()[3].name->fullText(), "Chatevil");
    EXPECT_EQ(panel.lines()[5].name->fullText(), "Notes");

    // A largest entry of 0 bytes draws empty bars, not undefined ones.
    model->ingestProcesses(footprints(world.now, {{"Idle", 0}, {"Other", 0}}));
    settle();
    EXPECT_EQ(panel.lines()[0].bar->value(), 0);
    EXPECT_EQ(panel.lines()[1].bar->value(), 0);
    EXPECT_FALSE(shown(*panel.lines()[2].row, *top));
}

TEST_F(VitalsViewTest, RefreshesChangeTextsInPlaceAndKeepScrollAndFocus) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(vitals());
    model->ingestProcesses(footprints(world.now, {{"Firefox", 4ull << 30}, {"Editor", 2ull << 30}}));
    settle();
    const QLabel* used = &view->memory().used();
    const QLabel* name = view->memoryByApp().lines()[0].name;
    QPushButton& measure = view->whatChanged().folders().measureNow();
    measure.setFocus();
    const int scrolled = view->verticalScrollBar()->maximum() / 2;
    ASSERT_GT(scrolled, 0);
    view->verticalScrollBar()->setValue(scrolled);

    for (int i = 0; i < 5; ++i) {
        world.advance(5);
        model->ingestVitals(vitals((6ull << 30) + i * (100ull << 20)));
        model->ingestProcesses(footprints(world.now, {{"Firefox", (4ull << 30) + i}, {"Editor", 2ull << 30}}));
        settle();
    }
    EXPECT_EQ(&view->memory().used(), used);
    EXPECT_EQ(view->memoryByApp().lines()[0].name, name);
    EXPECT_EQ(view->memory().used().text(), "6.4 GB");
    EXPECT_EQ(view->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(top->focusWidget(), &measure);
}

TEST_F(VitalsViewTest, HiddenItDoesNothingAndCatchesUpWhenShown) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    model->ingestVitals(vitals());
    settle();
    EXPECT_TRUE(view->minuteTimer().isActive());
    EXPECT_EQ(view->minuteTimer().interval(), 60'000);

    top->hide();
    EXPECT_FALSE(view->minuteTimer().isActive());
    world.advance(5);
    model->ingestVitals(vitals(8ull << 30));
    settle();
    EXPECT_EQ(view->memory().used().text(), "6.0 GB");

    top->show();
    settle();
    EXPECT_EQ(view->memory().used().text(), "8.0 GB");
    EXPECT_TRUE(view->minuteTimer().isActive());
}

TEST_F(VitalsViewTest, EveryMinuteTheRelativeDatesMoveOn) {
    VitalsView* view = nullptr;
    const auto top = window(&view);
    ledger().events.emplace_back(id(1), world.now - 30, VitalsEventKind::pressureCritical());
    model->ingestVitals(vitals());
    settle();
    const QLabel& age = *view->whatChanged().eventLines()[0].value;
    EXPECT_EQ(age.text(), "30 seconds ago");

    world.advance(120);
    ASSERT_TRUE(QMetaObject::invokeMethod(const_cast<QTimer*>(&view->minuteTimer()), "timeout"));
    settle();
    EXPECT_EQ(age.text(), "2 minutes ago");
}

} // namespace
} // namespace halvrick::vitalstest
