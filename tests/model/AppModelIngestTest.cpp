#include "AppModelFakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gmock/gmock.h>
#include <iterator>

namespace halvrick {
namespace {

using fakes::app;
using fakes::ModelTest;
using fakes::processSample;
using testing::DoubleEq;
using testing::ElementsAre;
using testing::IsEmpty;

class AppModelIngestTest : public ModelTest {
protected:
    AppModelIngestTest() { make(); }

    // A listing in which process i used shares[i] of the whole machine since the previous one.
    // Shares times 8 are exact, so the threshold of 0.003 is met exactly.
    void list(const std::vector<double>& shares) {
        for (std::size_t i = 0; i < shares.size(); ++i) {
            cpu[static_cast<std::int32_t>(i + 1)] += shares[i] * 2 * world.coreCount;
        }
        std::vector<PSRow> rows;
        for (const auto& [pid, seconds] : cpu) {
            rows.push_back({pid, seconds, "/usr/lib/part" + std::to_string(pid)});
        }
        world.advance(2);
        model->blame().ingestListing(rows, world.now);
    }

    std::vector<double> shownShares() const {
        std::vector<double> shares;
        for (const SystemPart& part : model->blame().systemParts()) {
            shares.push_back(part.share);
        }
        return shares;
    }

    std::map<std::int32_t, double> cpu;
};

TEST_F(AppModelIngestTest, ListsApplicationMemoryLargestFirstWithoutTheSystem) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {});
    sample.footprints = {
        {app("Zed"), 300}, {app("Editor"), 300}, {app("Browser"), 900}, {AppKey::system(), 5000}};
    model->ingestProcesses(sample);
    std::vector<std::string> names;
    for (const AppMemory& entry : model->blame().memoryApps()) {
        names.push_back(entry.name);
    }
    EXPECT_THAT(names, ElementsAre("Browser", "Editor", "Zed"));
    EXPECT_EQ(model->blame().memoryApps()[0].id, app("Browser").id);
    EXPECT_EQ(model->blame().memoryApps()[0].bytes, 900U);
}

TEST_F(AppModelIngestTest, OwnShareIsThisProcessAgainstEveryCore) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {});
    sample.ownCPUSeconds = 0.16;
    model->ingestProcesses(sample);
    EXPECT_DOUBLE_EQ(model->ownShare(), 0.02);

    // The listing's own cost is already inside that figure and is not added a second time.
    list({});
    list({0.5});
    sample.ownCPUSeconds = 0.08;
    model->ingestProcesses(sample);
    EXPECT_DOUBLE_EQ(model->ownShare(), 0.01);
}

TEST_F(AppModelIngestTest, PublishesAtMostThreeSystemPartsOfAtLeastThreeThousandths) {
    list({0, 0, 0, 0, 0});
    EXPECT_THAT(model->blame().systemParts(), IsEmpty());

    list({0.5, 0.2, 0.1, 0.003, 0.0029});
    EXPECT_THAT(shownShares(), ElementsAre(DoubleEq(0.5), DoubleEq(0.2), DoubleEq(0.1)));
    EXPECT_EQ(model->blame().systemParts()[0].name, "part1");

    // Parts are measured over the blame window, as the system row is: once it has passed, only what
    // still works is listed.
    for (int i = 0; i < 5; ++i) {
        list({0, 0, 0, 0.003, 0.0029});
    }
    EXPECT_THAT(shownShares(), ElementsAre(DoubleEq(0.003)));
    EXPECT_EQ(model->blame().systemParts()[0].name, "part4");

    for (int i = 0; i < 5; ++i) {
        list({0.001, 0, 0, 0, 0.0029});
    }
    EXPECT_THAT(model->blame().systemParts(), IsEmpty());
}

// The system row comes from the process samples, its parts from the listings: two measurements that
// never quite agree. A part reads at most what the row above it reads, in the order it was measured.
TEST_F(AppModelIngestTest, ASystemPartNeverReadsAboveTheSystemRowItSitsUnder) {
    const auto systemShare = [this] {
        for (const AppShare& entry : model->blame().topApps()) {
            if (entry.app.kind == AppKey::Kind::system) {
                return entry.share;
            }
        }
        return -1.0;
    };
    const auto names = [this] {
        std::vector<std::string> shown;
        for (const SystemPart& part : model->blame().systemParts()) {
            shown.push_back(part.name);
        }
        return shown;
    };
    model->ingestProcesses(processSample(world.now, 2, {{AppKey::system(), 0.036}}));
    ASSERT_DOUBLE_EQ(systemShare(), 0.009);
    list({0, 0});
    list({0.010, 0.004});
    EXPECT_THAT(shownShares(), ElementsAre(DoubleEq(0.009), DoubleEq(0.004)));
    EXPECT_THAT(names(), ElementsAre("part1", "part2"));

    // The row rises above the measured part: the part reads its own figure again.
    model->ingestProcesses(processSample(world.now, 2, {{AppKey::system(), 0.08}}));
    ASSERT_GT(systemShare(), 0.010);
    EXPECT_THAT(shownShares(), ElementsAre(DoubleEq(0.010), DoubleEq(0.004)));

    // The row falls with the next process sample, before any new listing.
    world.advance(12);
    model->ingestProcesses(processSample(world.now, 2, {{AppKey::system(), 0.012}}));
    const double row = systemShare();
    ASSERT_LT(row, 0.004);
    EXPECT_THAT(shownShares(), ElementsAre(DoubleEq(row), DoubleEq(row)));
    EXPECT_THAT(names(), ElementsAre("part1", "part2"));
}

TEST_F(AppModelIngestTest, AListingThatYieldsNothingKeepsThePreviousParts) {
    list({0.4});
    list({0.4});
    ASSERT_THAT(shownShares(), ElementsAre(0.4));
    // No time passed since the previous listing.
    std::vector<PSRow> rows{{1, cpu[1] + 1, "/usr/lib/part1"}};
    model->blame().ingestListing(rows, world.now);
    EXPECT_THAT(shownShares(), ElementsAre(0.4));
}

TEST_F(AppModelIngestTest, ProcessesAlreadyCreditedToApplicationsAreLeftOutOfTheSystemParts) {
    ProcessSampler::Sample sample = processSample(world.now, 2, {});
    sample.attributedPIDs = {42};
    model->ingestProcesses(sample);
    cpu[42] = 0;
    list({0});
    cpu[42] = 4;
    list({0.25});
    ASSERT_EQ(model->blame().systemParts().size(), 1U);
    EXPECT_EQ(model->blame().systemParts()[0].name, "part1");
}

MachineVitals vitalsAt(Date date, std::uint64_t storageFree, std::uint64_t swapUsed = 0,
                       MemoryPressure pressure = MemoryPressure::warning) {
    return MachineVitals(date, 8ULL << 30, 4ULL << 30, 1ULL << 30, swapUsed, pressure, 500'000'000'000,
                         storageFree);
}

class AppModelVitalsTest : public ModelTest {
protected:
    AppModelVitalsTest() {
        world.environment["HALVRICK_LOG"] = "1";
        make();
    }

    double warningSeconds() const {
        const auto day = model->vitals().ledger().day(world.now, world.calendar);
        return day ? day->warningSeconds : -1;
    }
};

TEST_F(AppModelVitalsTest, TheMachineSamplerFeedsTheModelFromTheStart) {
    model->start();
    ASSERT_TRUE(model->machine());
    EXPECT_EQ(model->machine()->memoryTotal, 8ULL << 30);
    EXPECT_EQ(world.machineTimer->interval, 5);
}

TEST_F(AppModelVitalsTest, TheFirstSampleRecordsNoPressureTimeAndTheNextRecordsTheGap) {
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));
    EXPECT_EQ(warningSeconds(), 0);
    world.advance(5);
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));
    EXPECT_EQ(warningSeconds(), 5);
    EXPECT_EQ(model->machine()->date, world.now);
}

TEST_F(AppModelVitalsTest, EveryEventOfASampleIsRecordedAndLoggedBeforeTheSummary) {
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));
    world.logLines.clear();
    world.advance(5);
    model->ingestVitals(vitalsAt(world.now, 205'000'000'000, 600'000'000, MemoryPressure::normal));

    const std::vector<VitalsEvent>& events = model->vitals().ledger().events;
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[0].kind, VitalsEventKind::storageFreed(5'000'000'000));
    EXPECT_EQ(events[1].kind, VitalsEventKind::swapStarted(600'000'000));
    EXPECT_EQ(events[1].date, world.now);
    // Stamped like the tick's lines, so a log reads as one timeline.
    EXPECT_THAT(world.logLines,
                ElementsAre("[09:00:05.0] VITALS: storageFreed", "[09:00:05.0] VITALS: swapStarted",
                            "[09:00:05.0] VITALS: 4.0 GB of 8.0 GB, normal, 205 GB free"));
}

// Figures out of range in either ledger file are said once, when the file is loaded, not on every use.
TEST_F(AppModelVitalsTest, LedgerFiguresOutOfRangeAreLoggedOnceAtLoad) {
    QTemporaryDir folder;
    for (const char* name : {"ledger/out-of-range.json", "vitals/out-of-range.json"}) {
        QFile source(QStringLiteral(HALVRICK_TEST_DATA "/") + name);
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << name;
        QFile target(folder.path() +
                     (QString::fromLatin1(name).startsWith("ledger") ? "/stats.json" : "/vitals.json"));
        ASSERT_TRUE(target.open(QIODevice::WriteOnly));
        target.write(source.readAll());
    }
    world.dataFolder = folder.path();
    world.logLines.clear();
    make();
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));
    world.advance(5);
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));

    std::vector<std::string> ledgerLines;
    std::copy_if(world.logLines.begin(), world.logLines.end(), std::back_inserter(ledgerLines),
                 [](const std::string& line) { return line.find("LEDGER: ") != std::string::npos; });
    EXPECT_THAT(
        ledgerLines,
        ElementsAre(testing::StartsWith("[09:00:00.0] LEDGER: stats.json holds 11 figures out of range; each "
                                        "counts as the nearest one in range; the file as read is kept as " +
                                        folder.path().toStdString() + "/stats.json.original-"),
                    testing::StartsWith("[09:00:00.0] LEDGER: vitals.json holds 5 figures out of range; each "
                                        "counts as the nearest one in range; the file as read is kept as " +
                                        folder.path().toStdString() + "/vitals.json.original-")));

    // Once saved, the files hold the figures as they were used, and the next launch has nothing to say.
    model->stats().save();
    model->vitals().save();
    world.logLines.clear();
    make();
    EXPECT_THAT(world.logLines, IsEmpty());
}

TEST_F(AppModelVitalsTest, EventsSaveTheLedgerAtMostOncePerMinute) {
    QTemporaryDir folder;
    world.dataFolder = folder.path();
    make();
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));
    const auto firstSave = model->vitals().lastSave();
    ASSERT_TRUE(firstSave);

    world.advance(5);
    model->ingestVitals(vitalsAt(world.now, 205'000'000'000, 600'000'000));
    EXPECT_EQ(model->vitals().lastSave(), firstSave);
    EXPECT_TRUE(model->vitals().isDirty());

    world.advance(60);
    model->ingestVitals(vitalsAt(world.now, 195'000'000'000, 600'000'000));
    EXPECT_NE(model->vitals().lastSave(), firstSave);
    EXPECT_FALSE(model->vitals().isDirty());
}

TEST_F(AppModelVitalsTest, ResetEmptiesBothLedgersAndWritesThemAtOnce) {
    QTemporaryDir folder;
    world.dataFolder = folder.path();
    make();
    model->ingestProcesses(processSample(world.now, 2, {{app("Editor"), 1}}));
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));
    world.advance(5);
    model->ingestVitals(vitalsAt(world.now, 200'000'000'000));
    ASSERT_FALSE(model->stats().ledger().days.empty());
    ASSERT_TRUE(model->vitals().isDirty());

    model->resetStats();
    EXPECT_TRUE(model->stats().ledger().days.empty());
    EXPECT_TRUE(model->vitals().ledger().days.empty());
    EXPECT_FALSE(model->stats().isDirty());
    EXPECT_FALSE(model->vitals().isDirty());
    for (const char* name : {"/stats.json", "/vitals.json"}) {
        QFile file(folder.path() + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(json::parse(file.readAll().toStdString())["days"], json::Json::object()) << name;
    }
}

} // namespace
} // namespace halvrick
