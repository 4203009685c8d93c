#include "model/VitalsStore.h"

#include "StoreTestSupport.h"
#include "core/Bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace halvrick {
namespace {

using namespace testing_support;

const QString fixtures = QStringLiteral(HALVRICK_TEST_DATA "/vitals");

constexpr std::uint64_t GB = 1'000'000'000;

VitalsLedger decodeFile(const QString& path) {
    const QByteArray bytes = readBytes(path);
    return VitalsLedger::fromJson(
        json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

VitalsLedger fixtureLedger() {
    return decodeFile(fixtures + "/vitals.json");
}

MachineVitals sample(Date at, std::uint64_t memoryUsed = 6 * GB) {
    return {at, 32 * GB, memoryUsed, 2 * GB, 0, MemoryPressure::normal, 500 * GB, 200 * GB};
}

const std::vector<AppMemory> apps{{"code", "code", 1 * GB}};

// The sample's date and the monotonic clock move on together, as they do in the app.
void recordAfter(VitalsStore& store, FakeClocks& c, double seconds, std::uint64_t memoryUsed = 6 * GB) {
    c.now = c.now + seconds;
    c.tick += std::chrono::duration_cast<LedgerFile::MonotonicTime::duration>(
        std::chrono::duration<double>(seconds));
    store.record(sample(c.now, memoryUsed), apps, seconds);
}

TEST(VitalsStoreTest, FirstSampleAfterLaunchCreatesTheFolderAndWritesTheFile) {
    QTemporaryDir tmp;
    const QString folder = tmp.path() + "/share/Halvrick";
    FakeClocks c;
    VitalsStore store(400, c.clocks(), folder);
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(store.fileURL(), folder + "/vitals.json");
    EXPECT_EQ(store.ledger(), VitalsLedger());
    EXPECT_TRUE(store.isDirty()) << "the launch's pruning";
    EXPECT_EQ(store.lastPruneDay(), "2026-03-05");
    EXPECT_FALSE(QFile::exists(folder + "/vitals.json"));

    store.record(sample(c.now), apps, 5);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.lastSave(), c.tick);
    const VitalsLedger onDisk = decodeFile(folder + "/vitals.json");
    EXPECT_EQ(onDisk, store.ledger());
    ASSERT_EQ(onDisk.snapshots.size(), 1u);
    EXPECT_EQ(onDisk.days.at("2026-03-05").peakMemoryUsed, 6 * GB);
    EXPECT_EQ(onDisk.days.at("2026-03-05").apps.at("code").peakBytes, 1 * GB);

    // Nothing recorded since: nothing written.
    ASSERT_TRUE(QFile::remove(folder + "/vitals.json"));
    store.save();
    EXPECT_FALSE(QFile::exists(folder + "/vitals.json"));
}

TEST(VitalsStoreTest, LoadsTheFileAndPrunesDaysAndSnapshots) {
    QTemporaryDir tmp;
    writeBytes(tmp.path() + "/vitals.json", readBytes(fixtures + "/vitals.json"));
    FakeClocks c;
    VitalsLedger expected = fixtureLedger();
    ASSERT_EQ(expected.snapshots.size(), 3u);
    // 2026-02-18 lies before the 14 days of snapshots that end today.
    expected.snapshots.erase(expected.snapshots.begin());
    EXPECT_EQ(VitalsStore(400, c.clocks(), tmp.path()).ledger(), expected);

    VitalsStore store(1, c.clocks(), tmp.path());
    expected.days.erase("2026-03-04");
    EXPECT_EQ(store.ledger(), expected);
    EXPECT_EQ(store.ledger().events, fixtureLedger().events);
    EXPECT_TRUE(store.isDirty());
    store.saveIfDue();
    EXPECT_EQ(decodeFile(tmp.path() + "/vitals.json"), expected);
}

TEST(VitalsStoreTest, SamplesFiveSecondsApartWriteAtMostOncePerMinute) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/vitals.json";
    FakeClocks c;
    VitalsStore store(400, c.clocks(), tmp.path());
    store.record(sample(c.now), apps, 5);
    const QByteArray first = readBytes(file);
    ASSERT_FALSE(first.isEmpty());

    for (int i = 1; i < 12; ++i) {
        recordAfter(store, c, 5, (6 + static_cast<std::uint64_t>(i)) * GB);
        EXPECT_EQ(readBytes(file), first) << "sample " << i;
    }
    EXPECT_TRUE(store.isDirty());
    recordAfter(store, c, 5);
    EXPECT_FALSE(store.isDirty());
    const VitalsLedger onDisk = decodeFile(file);
    EXPECT_EQ(onDisk.days.at("2026-03-05").peakMemoryUsed, 17 * GB);
    // One snapshot per 900 s.
    EXPECT_EQ(onDisk.snapshots.size(), 1u);

    // A wall clock set back plays no part: the minute is counted on the monotonic clock.
    const QByteArray second = readBytes(file);
    c.now = c.now - 7200;
    recordAfter(store, c, 30);
    EXPECT_EQ(readBytes(file), second);
    recordAfter(store, c, 30);
    EXPECT_FALSE(store.isDirty());
    EXPECT_NE(readBytes(file), second);

    // A monotonic reading earlier than the last save never stalls saving.
    recordAfter(store, c, 5);
    c.tick -= 3600s;
    store.record(sample(c.now), apps, 5);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.lastSave(), c.tick);
}

TEST(VitalsStoreTest, FirstSampleAfterMidnightPrunesDaysAndSnapshots) {
    QTemporaryDir tmp;
    FakeClocks c;
    VitalsLedger seeded;
    for (const int back : {0, 1, 2, 14, 15}) {
        const MachineVitals old = sample(c.calendar.addingDays(-back, c.now));
        seeded.record(old, apps, 5, c.calendar);
        seeded.snapshots.push_back(old.snapshot());
    }
    std::reverse(seeded.snapshots.begin(), seeded.snapshots.end());
    writeBytes(tmp.path() + "/vitals.json", QByteArray::fromStdString(seeded.toJson().dump()));

    VitalsStore store(3, c.clocks(), tmp.path());
    EXPECT_EQ(store.ledger().days.size(), 3u);
    EXPECT_EQ(store.ledger().snapshots.size(), 4u);
    recordAfter(store, c, 5);
    EXPECT_EQ(store.ledger().snapshots.size(), 4u) << "the newest snapshot is 5 s old";

    const double toMidnight = c.calendar.date(2026, 3, 6, 0, 0, 30) - c.now;
    recordAfter(store, c, toMidnight);
    EXPECT_EQ(store.lastPruneDay(), "2026-03-06");
    EXPECT_FALSE(store.isDirty());
    const VitalsLedger onDisk = decodeFile(tmp.path() + "/vitals.json");
    std::vector<std::string> days;
    for (const auto& [key, day] : onDisk.days) {
        days.push_back(key);
    }
    EXPECT_EQ(days, (std::vector<std::string>{"2026-03-04", "2026-03-05", "2026-03-06"}));
    // Snapshots from 2026-02-20 on: the one 14 days before 03-05 goes; 0, 1, 2 days back and the new one
    // stay.
    ASSERT_EQ(onDisk.snapshots.size(), 4u);
    EXPECT_EQ(onDisk.snapshots.front().date, c.calendar.addingDays(-2, c.calendar.date(2026, 3, 5, 15)));
    EXPECT_EQ(onDisk.snapshots.back().date, c.now);
}

// A sample dated 500 days ahead, while running and at a launch under that clock, removes no day and no
// snapshot: after the clock is back, a save and a load, all seven days and their snapshots are there.
TEST(VitalsStoreTest, AClockSetFarAheadPrunesNoHistory) {
    QTemporaryDir tmp;
    FakeClocks c;
    const Date real = c.now;
    VitalsLedger seeded;
    for (int back = 6; back >= 0; --back) {
        const MachineVitals old = sample(c.calendar.addingDays(-back, real));
        seeded.record(old, apps, 5, c.calendar);
        seeded.snapshots.push_back(old.snapshot());
    }
    writeBytes(tmp.path() + "/vitals.json", QByteArray::fromStdString(seeded.toJson().dump()));

    {
        VitalsStore store(400, c.clocks(), tmp.path());
        recordAfter(store, c, 500 * 86400.0);
        EXPECT_FALSE(store.isDirty());
        c.now = real + 60;
        recordAfter(store, c, 60);
        EXPECT_FALSE(store.isDirty());
        // The snapshot series goes on.
        const std::size_t before = store.ledger().snapshots.size();
        recordAfter(store, c, 900);
        EXPECT_EQ(store.ledger().snapshots.size(), before + 1);
    }
    c.now = c.calendar.addingDays(500, real);
    VitalsStore(400, c.clocks(), tmp.path()).save();

    c.now = real + 300;
    const VitalsLedger loaded = VitalsStore(400, c.clocks(), tmp.path()).ledger();
    EXPECT_EQ(loaded, decodeFile(tmp.path() + "/vitals.json"));
    for (const auto& [key, day] : seeded.days) {
        EXPECT_TRUE(loaded.days.contains(key)) << key;
    }
    EXPECT_EQ(loaded.days.size(), 8u);
    ASSERT_EQ(loaded.snapshots.size(), 9u);
    EXPECT_TRUE(std::equal(seeded.snapshots.begin(), seeded.snapshots.end(), loaded.snapshots.begin()));
}

TEST(VitalsStoreTest, ResetWritesAtOnce) {
    QTemporaryDir tmp;
    writeBytes(tmp.path() + "/vitals.json", readBytes(fixtures + "/vitals.json"));
    FakeClocks c;
    VitalsStore store(400, c.clocks(), tmp.path());
    store.saveIfDue();
    c.tick += 1s;
    store.reset();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(decodeFile(tmp.path() + "/vitals.json"), VitalsLedger());
}

struct LossCase {
    const char* name;
    std::function<QByteArray()> bytes;
};

class VitalsStoreLossTest : public testing::TestWithParam<LossCase> {};

// The user's history is never thrown away: the broken file is kept beside the new one.
TEST_P(VitalsStoreLossTest, ABrokenFileIsKeptAsideAndTheStoreStartsEmpty) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/vitals.json";
    const QByteArray broken = GetParam().bytes();
    writeBytes(file, broken);
    FakeClocks c;

    VitalsStore store(400, c.clocks(), tmp.path());
    EXPECT_EQ(store.ledger(), VitalsLedger());
    EXPECT_EQ(readBytes(file + ".unreadable-2026-03-05"), broken);

    store.record(sample(c.now), apps, 5);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(decodeFile(file), store.ledger());
    EXPECT_EQ(readBytes(file + ".unreadable-2026-03-05"), broken);
    EXPECT_EQ(filesSetAside(tmp.path()).size(), 1);
    EXPECT_EQ(VitalsStore(400, c.clocks(), tmp.path()).ledger(), store.ledger());
}

INSTANTIATE_TEST_SUITE_P(
    Files, VitalsStoreLossTest,
    testing::Values(LossCase{"Truncated",
                             [] {
                                 const QByteArray whole = readBytes(fixtures + "/vitals.json");
                                 return whole.left(whole.size() / 2);
                             }},
                    LossCase{"Garbage", garbageBytes},
                    LossCase{"WrongTypeInOneField", [] { return readBytes(fixtures + "/wrong-type.json"); }},
                    LossCase{"DatesAsText", [] { return readBytes(fixtures + "/iso-dates.json"); }},
                    LossCase{"EmptyObject", [] { return QByteArray("{}"); }},
                    LossCase{"EmptyFile", [] { return QByteArray(); }}),
    [](const testing::TestParamInfo<LossCase>& info) { return std::string(info.param.name); });

TEST(VitalsStoreTest, UnwritableFolderFailsQuietlyAndTheNextSaveRetries) {
    QTemporaryDir tmp;
    // A regular file where the data folder should be stops every write, even for root.
    const QString blocker = tmp.path() + "/share";
    writeBytes(blocker, "not a folder");
    const QString folder = blocker + "/Halvrick";
    FakeClocks c;
    VitalsStore store(400, c.clocks(), folder);

    store.record(sample(c.now), apps, 5);
    EXPECT_TRUE(store.isDirty());
    EXPECT_FALSE(store.lastSave());
    // With no successful save yet every sample tries again.
    recordAfter(store, c, 5, 9 * GB);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(readBytes(blocker), "not a folder");

    ASSERT_TRUE(QFile::remove(blocker));
    recordAfter(store, c, 5);
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.lastSave(), c.tick);
    EXPECT_EQ(decodeFile(folder + "/vitals.json").days.at("2026-03-05").peakMemoryUsed, 9 * GB);
}

TEST(VitalsStoreTest, FullDisk_KeepsTheOldFileAndTheNextSaveSucceeds) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/vitals.json";
    FakeClocks c;
    {
        VitalsStore seed(400, c.clocks(), tmp.path());
        seed.record(sample(c.now), apps, 5);
    }
    const QByteArray old = readBytes(file);
    ASSERT_FALSE(old.isEmpty());
    const int status = inChildWithFileSizeLimit(old.size() / 2, [&](const std::function<void()>& lift) {
        VitalsStore store(400, c.clocks(), tmp.path());
        recordAfter(store, c, 5, 9 * GB);
        if (!store.isDirty() || store.lastSave() || readBytes(file) != old) {
            return 1;
        }
        lift();
        recordAfter(store, c, 5, 9 * GB);
        return store.isDirty() ? 2 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(decodeFile(file).days.at("2026-03-05").peakMemoryUsed, 9 * GB);
}

TEST(VitalsStoreTest, WithoutAFolderTheLedgerLivesInMemory) {
    FakeClocks c;
    VitalsStore store(400, c.clocks(), std::nullopt);
    EXPECT_FALSE(store.fileURL());
    store.record(sample(c.now), apps, 5);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.ledger().days.at("2026-03-05").peakMemoryUsed, 6 * GB);
}

TEST(VitalsStoreTest, DefaultFolderIsTheApplicationSupportFolder) {
    QTemporaryDir tmp;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", tmp.path().toUtf8());
    FakeClocks c;
    const VitalsStore store(400, c.clocks());
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
    EXPECT_EQ(store.fileURL(), tmp.path() + "/Halvrick/vitals.json");
}

// A process killed at any point of a long run of saves leaves a file that decodes, holding at least
// every save it had finished.
TEST(VitalsStoreKillTest, FileAlwaysDecodesAfterSigkillDuringSaves) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/vitals.json";
    FakeClocks c;
    {
        // Months of days with many applications, so that each save takes a while.
        VitalsStore seed(400, c.clocks(), tmp.path());
        for (int back = 0; back < 120; ++back) {
            std::vector<AppMemory> many;
            for (int app = 0; app < 10; ++app) {
                const std::string id = "/usr/share/applications/app" + std::to_string(app) + ".desktop";
                many.emplace_back(id, "App " + std::to_string(app), (app + 1) * GB);
            }
            seed.ledger().record(sample(c.calendar.addingDays(-back, c.now)), many, 5, c.calendar);
        }
        seed.save();
        ASSERT_FALSE(seed.isDirty());
    }

    constexpr int rounds = 10;
    for (int round = 0; round < rounds; ++round) {
        const std::uint64_t peakBefore = decodeFile(file).days.at("2026-03-05").peakMemoryUsed;
        int finished = 0;
        killDuringSaves(
            [&]() -> SaveStep {
                auto store = std::make_shared<VitalsStore>(400, c.clocks(), tmp.path());
                auto used = std::make_shared<std::uint64_t>(peakBefore);
                return [store, used, &c] {
                    // Every sample a new peak, so each finished save shows on disk.
                    store->record(sample(c.now, ++*used), apps, 5);
                    store->save();
                    return !store->isDirty();
                };
            },
            round, rounds, finished);
        ASSERT_FALSE(HasFatalFailure());

        VitalsLedger onDisk;
        ASSERT_NO_THROW(onDisk = decodeFile(file)) << "round " << round;
        EXPECT_GE(onDisk.days.at("2026-03-05").peakMemoryUsed, peakBefore + finished);
        EXPECT_EQ(onDisk.days.size(), 120u);
    }
    EXPECT_TRUE(filesSetAside(tmp.path()).isEmpty());
}

// Byte counts beyond the signed range and pressure time beyond a day decode, and are mended when the file
// is loaded: the folder that grew reads as grown, and the file is not rewritten for them.
TEST(VitalsStoreTest, FiguresOutOfRangeAreMendedWhileTheFileKeepsItsBytes) {
    QTemporaryDir tmp;
    const QByteArray original = readBytes(fixtures + "/out-of-range.json");
    writeBytes(tmp.path() + "/vitals.json", original);
    FakeClocks c;
    VitalsStore store(400, c.clocks(), tmp.path());
    EXPECT_EQ(store.mendedFigures(), 5U);
    EXPECT_EQ(readBytes(tmp.path() + "/vitals.json"), original);

    constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const VitalsLedger& ledger = store.ledger();
    const VitalsDay today = ledger.day(c.now, c.calendar).value();
    EXPECT_EQ(today.peakMemoryUsed, largest);
    EXPECT_EQ(today.criticalSeconds, 90000);
    EXPECT_EQ(ledger.day(c.calendar.addingDays(-1, c.now), c.calendar)->warningSeconds, 0);
    EXPECT_EQ(ledger.snapshots.at(0).storageFree, largest);

    const std::vector<FolderGrowth> growth = ledger.folderGrowth(c.now, 250'000'000, 4, c.calendar);
    ASSERT_EQ(growth.size(), 1U);
    EXPECT_TRUE(growth[0].isGrowth());
    EXPECT_EQ(Bytes::change(growth[0].delta(), true), "+9223372 TB");
}

} // namespace
} // namespace halvrick
