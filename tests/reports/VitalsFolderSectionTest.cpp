#include "VitalsTestSupport.h"

#include "model/Copy.h"
#include "reports/FolderSparkline.h"
#include "reports/VitalsFolderSection.h"
#include "reports/VitalsWhatChanged.h"
#include "ui/Theme.h"

#include <QDeadlineTimer>
#include <QPushButton>
#include <QToolButton>
#include <QToolTip>
#include <future>

namespace halvrick::vitalstest {
namespace {

using State = FolderSection::State;

const QString minus = QString::fromUtf8("\u2212");
const QString notedToday = "Folder sizes are noted today. Tomorrow I can tell you what grew.";

// The folder walk waits until the test lets it finish.
class VitalsFolderSectionTest : public VitalsTest {
protected:
    void SetUp() override {
        world.measureFolders = [this] {
            gate.wait();
            return result;
        };
        VitalsTest::SetUp();
        top = window(&view);
        model->ingestVitals(vitals());
        settle();
    }

    void TearDown() override {
        release();
        finishMeasuring();
    }

    void release() {
        if (!released) {
            released = true;
            open.set_value();
        }
    }

    // The next walk waits again.
    void rearm() {
        open = std::promise<void>();
        gate = open.get_future().share();
        released = false;
    }

    void finishMeasuring() {
        QDeadlineTimer deadline(5000);
        while (model->isMeasuringFolders() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        ASSERT_FALSE(model->isMeasuringFolders());
        settle();
    }

    // Sizes of the days before today, newest last, and today's, as the ledger keeps them.
    void measuredDays(const std::vector<std::map<std::string, std::uint64_t>>& days) {
        const int count = static_cast<int>(days.size());
        for (int i = 0; i < count; ++i) {
            ledger().recordFolderSizes(days[i], daysAgo(count - 1 - i, 8), world.calendar);
        }
        model->refreshFolders(world.now);
        settle();
    }

    VitalsFolderSection& section() { return view->whatChanged().folders(); }
    const VitalsFolderSection::RowWidgets& row(std::size_t i) { return section().rows().at(i); }
    bool shown(const QWidget& widget) { return widget.isVisibleTo(top.get()); }

    FolderSizer::Result result{{{"downloads", 3'000'000'000}}, {"desktop"}, {}};
    std::promise<void> open;
    std::shared_future<void> gate = open.get_future().share();
    bool released = false;
    VitalsView* view = nullptr;
    std::unique_ptr<QWidget> top;
};

TEST_F(VitalsFolderSectionTest, WaitingThenMeasuringThenRows) {
    EXPECT_EQ(section().state(), State::waiting);
    EXPECT_TRUE(shown(section().waitingNote()));
    EXPECT_EQ(section().waitingNote().text(), notedToday);
    EXPECT_TRUE(shown(section().measureNow()));
    EXPECT_FALSE(shown(section().measuredAt()));
    EXPECT_FALSE(shown(section().access()));

    section().measureNow().click();
    EXPECT_TRUE(model->isMeasuringFolders());
    settle();
    EXPECT_EQ(section().state(), State::measuring);
    EXPECT_TRUE(shown(section().measuringLine()));
    EXPECT_FALSE(shown(section().measureNow()));
    EXPECT_FALSE(shown(section().waitingNote()));
    EXPECT_FALSE(shown(section().weekSummary()));

    release();
    finishMeasuring();
    EXPECT_EQ(section().state(), State::rows);
    EXPECT_FALSE(shown(section().measuringLine()));
    EXPECT_TRUE(shown(section().measureNow()));
    EXPECT_TRUE(shown(section().measuredAt()));
    EXPECT_TRUE(section().measuredAt().text().startsWith("Measured "));
    // Measured for the first time, refused, and neither.
    EXPECT_EQ(row(0).sizes->text(), "3.0 GB");
    EXPECT_TRUE(shown(*row(0).firstReading));
    EXPECT_FALSE(shown(*row(0).changeColumn));
    EXPECT_EQ(row(1).sizes->text(), "No access");
    EXPECT_FALSE(shown(*row(1).firstReading));
    EXPECT_EQ(row(2).sizes->text(), "Not measured today");
    EXPECT_TRUE(shown(section().rowNote()));
    EXPECT_EQ(section().rowNote().text(), notedToday);
    EXPECT_TRUE(shown(section().access()));
    EXPECT_EQ(section().access().text(), "Some folders can't be read. Check their permissions.");

    // Measuring again, the refusal of the last measurement still shows.
    rearm();
    section().measureNow().click();
    settle();
    EXPECT_EQ(section().state(), State::measuring);
    EXPECT_TRUE(shown(section().access()));
    EXPECT_FALSE(shown(section().measuredAt()));
}

TEST_F(VitalsFolderSectionTest, AFolderMeasuredOnlyInPartIsNamedUntilAWholeMeasurement) {
    result = {{{"downloads", 3'000'000'000}, {"documents", 2'000'000}}, {}, {"documents"}};
    section().measureNow().click();
    release();
    finishMeasuring();
    EXPECT_EQ(row(2).sizes->text(), "2.0 MB");
    EXPECT_FALSE(shown(section().access()));
    EXPECT_TRUE(shown(section().partlyMeasured()));
    EXPECT_EQ(section().partlyMeasured().text(),
              "Partly measured: Documents. Some folders inside can't be read.");

    rearm();
    section().measureNow().click();
    settle();
    EXPECT_TRUE(shown(section().partlyMeasured())) << "it tells of the last measurement";
    result.partlyMeasured.clear();
    release();
    finishMeasuring();
    EXPECT_FALSE(shown(section().partlyMeasured()));
}

TEST_F(VitalsFolderSectionTest, ASizeRecordedTodayWinsOverALaterRefusal) {
    ledger().recordFolderSizes({{"desktop", 2'000'000}}, world.now - 600, world.calendar);
    section().measureNow().click();
    release();
    finishMeasuring();
    EXPECT_EQ(model->folderDenied().count("desktop"), 1u);
    EXPECT_EQ(row(1).sizes->text(), "2.0 MB");
    EXPECT_TRUE(shown(*row(1).firstReading));
}

TEST_F(VitalsFolderSectionTest, AWeekOfGrowthShowsChangesSparklinesAndTheWeekSummary) {
    measuredDays({{{"downloads", 1'000'000'000}, {"desktop", 4'000'000'000}, {"documents", 700'000'000}},
                  {{"downloads", 1'500'000'000}, {"desktop", 4'000'000'000}, {"documents", 700'000'000}},
                  {{"downloads", 2'200'000'000}, {"desktop", 3'800'000'000}, {"documents", 700'000'000}},
                  {{"downloads", 2'200'000'000}, {"desktop", 3'000'000'000}, {"documents", 700'000'000}},
                  {{"downloads", 4'200'000'000}, {"desktop", 3'000'000'000}, {"documents", 700'000'000}},
                  {{"downloads", 5'600'000'000}, {"desktop", 2'500'000'000}, {"documents", 700'000'000}}});
    EXPECT_EQ(section().state(), State::rows);
    EXPECT_EQ(row(0).sizes->text(), "4.2 GB → 5.6 GB");
    EXPECT_EQ(row(0).change->text(), "+1.4 GB");
    EXPECT_EQ(row(0).change->palette().color(QPalette::WindowText),
              Theme::text(Theme::Tone::primary, section().palette()));
    EXPECT_TRUE(shown(*row(0).since));
    EXPECT_EQ(row(0).since->text(), "since yesterday");
    EXPECT_TRUE(shown(*row(0).sparkline));
    EXPECT_EQ(row(0).sparkline->points().size(), 6u);
    EXPECT_EQ(row(0).sparkline->toolTip(), "Last 7 days: +4.6 GB");

    EXPECT_EQ(row(1).change->text(), minus + "500 MB");
    EXPECT_EQ(row(1).change->palette().color(QPalette::WindowText),
              Theme::text(Theme::Tone::secondary, section().palette()));
    EXPECT_TRUE(shown(*row(1).since));

    EXPECT_EQ(row(2).sizes->text(), "700 MB → 700 MB");
    EXPECT_EQ(row(2).change->text(), "no change");
    EXPECT_FALSE(shown(*row(2).since));

    EXPECT_FALSE(shown(section().rowNote()));
    EXPECT_TRUE(shown(section().weekSummary()));
    EXPECT_EQ(section().weekSummary().text(), "Last 7 days: Downloads +4.6 GB · Desktop " + minus + "1.5 GB");
}

TEST_F(VitalsFolderSectionTest, WaitingWithEarlierSizesSaysNoFolderMoved) {
    ledger().recordFolderSizes({{"downloads", 1'000'000'000}}, daysAgo(2), world.calendar);
    model->refreshFolders(world.now);
    settle();
    EXPECT_EQ(section().state(), State::waiting);
    EXPECT_EQ(section().waitingNote().text(), "No folder moved by more than 250 MB.");
    EXPECT_FALSE(shown(section().weekSummary()));
}

TEST_F(VitalsFolderSectionTest, FreeSpaceThatMovedElsewhereIsExplained) {
    ledger().snapshots = {VitalsSnapshot(world.now - 86400, 6ull << 30, 0, MemoryPressure::normal, 205'000'000'000)};
    measuredDays({{{"downloads", 1'000'000'000}}, {{"downloads", 1'010'000'000}}});
    ASSERT_TRUE(model->storageMovedElsewhere());
    EXPECT_TRUE(shown(section().rowNote()));
    EXPECT_EQ(section().rowNote().text(), "These folders barely moved. The change is elsewhere on the disk — "
                                          "caches, app data, or files outside them.");
}

TEST_F(VitalsFolderSectionTest, EachRowShowsItsFolderInTheFileManager) {
    for (const auto& r : section().rows()) {
        EXPECT_EQ(r.reveal->toolTip(), "Show in file manager");
    }
    EXPECT_EQ(row(0).reveal->accessibleName(), "Show Downloads in file manager");
    row(2).reveal->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front(), QUrl::fromLocalFile("/home/pea/Documents"));
    EXPECT_FALSE(QToolTip::isVisible()) << "an opened folder needs no word";
}

TEST_F(VitalsFolderSectionTest, ADesktopWithoutAFileManagerGetsAShortLine) {
    fileManagerOpens = false;
    row(0).reveal->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QString::fromUtf8(Copy::noFileManager.data()));
    QToolTip::hideText();
}

} // namespace
} // namespace halvrick::vitalstest
