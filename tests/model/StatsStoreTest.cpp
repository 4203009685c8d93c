#include "model/StatsStore.h"

#include "StoreTestSupport.h"
#include "core/Challenges.h"
#include "core/DailyGrade.h"
#include "core/SweatCSV.h"
#include "model/Copy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace halvrick {
namespace {

using namespace testing_support;

const QString fixtures = QStringLiteral(HALVRICK_TEST_DATA "/ledger");

StatsLedger decodeFile(const QString& path) {
    const QByteArray bytes = readBytes(path);
    return StatsLedger::fromJson(
        json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

StatsLedger fixtureLedger() {
    return decodeFile(fixtures + "/stats.json");
}

void book(StatsStore& store, double seconds, const FakeClocks& c) {
    store.ledger().addActive(seconds, c.now, c.calendar);
    store.setDirty(true);
}

TEST(StatsStoreTest, FirstLaunchCreatesTheFolderAndWritesOnTheFirstSave) {
    QTemporaryDir tmp;
    const QString folder = tmp.path() + "/share/Halvrick";
    FakeClocks c;
    StatsStore store(400, c.clocks(), folder);
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(store.fileURL(), folder + "/stats.json");
    EXPECT_EQ(store.ledger(), StatsLedger());
    EXPECT_TRUE(store.isDirty()) << "the launch's pruning";
    EXPECT_EQ(store.lastPruneDay(), "2026-03-05");
    EXPECT_FALSE(QFile::exists(folder + "/stats.json"));

    store.saveIfDue();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.lastSave(), c.tick);
    EXPECT_EQ(decodeFile(folder + "/stats.json"), StatsLedger());

    // Nothing booked since: nothing written.
    ASSERT_TRUE(QFile::remove(folder + "/stats.json"));
    store.save();
    EXPECT_FALSE(QFile::exists(folder + "/stats.json"));
}

TEST(StatsStoreTest, LoadsTheFileAndPrunesItToTheRetention) {
    QTemporaryDir tmp;
    writeBytes(tmp.path() + "/stats.json", readBytes(fixtures + "/stats.json"));
    FakeClocks c;
    EXPECT_EQ(StatsStore(400, c.clocks(), tmp.path()).ledger(), fixtureLedger());

    StatsStore store(1, c.clocks(), tmp.path());
    StatsLedger expected = fixtureLedger();
    expected.days.erase("2026-03-04");
    EXPECT_EQ(store.ledger(), expected);
    EXPECT_TRUE(store.isDirty());
    store.saveIfDue();
    EXPECT_EQ(decodeFile(tmp.path() + "/stats.json"), expected);
}

TEST(StatsStoreTest, PrunesOncePerDayKey) {
    QTemporaryDir tmp;
    FakeClocks c;
    StatsLedger seeded;
    for (const int back : {0, 399, 400}) {
        seeded.recordPromptShown(c.calendar.addingDays(-back, c.now), c.calendar);
    }
    writeBytes(tmp.path() + "/stats.json", QByteArray::fromStdString(seeded.toJson().dump()));

    StatsStore store(400, c.clocks(), tmp.path());
    // Nothing booked since 399 days back: as after a clock set 399 days ahead, the launch removes nothing.
    EXPECT_EQ(store.ledger().recordedDayCount(), 3);
    EXPECT_EQ(store.ledger().earliestDay(), "2025-01-29");
    store.save();

    store.pruneIfNewDay(c.now + 3 * 3600);
    EXPECT_FALSE(store.isDirty());

    // Just after midnight the day 399 days back is 400 days old.
    const Date tomorrow = c.calendar.date(2026, 3, 6, 0, 0, 30);
    store.pruneIfNewDay(tomorrow);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.lastPruneDay(), "2026-03-06");
    EXPECT_EQ(store.ledger().earliestDay(), "2026-03-05");
    store.save();

    // A clock set back is a new day key too.
    store.pruneIfNewDay(c.now);
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.lastPruneDay(), "2026-03-05");
}

std::vector<std::string> dayKeys(const StatsLedger& ledger) {
    std::vector<std::string> keys;
    for (const auto& [key, day] : ledger.days) {
        keys.push_back(key);
    }
    return keys;
}

// A wall clock set 500 days ahead for a moment, while running and at a launch, books its one day and
// removes nothing: after the clock is back, a save and a load, all seven days are there.
TEST(StatsStoreTest, AClockSetFarAheadPrunesNoHistory) {
    QTemporaryDir tmp;
    FakeClocks c;
    const Date real = c.now;
    const Date ahead = c.calendar.addingDays(500, real);
    StatsLedger seeded;
    for (int back = 0; back < 7; ++back) {
        seeded.addActive(60, c.calendar.addingDays(-back, real), c.calendar);
    }
    writeBytes(tmp.path() + "/stats.json", QByteArray::fromStdString(seeded.toJson().dump()));
    const std::vector<std::string> sevenDays = dayKeys(seeded);

    {
        StatsStore store(400, c.clocks(), tmp.path());
        c.now = ahead;
        book(store, 1, c);
        store.pruneIfNewDay(c.now);
        store.save();
        EXPECT_EQ(store.ledger().recordedDayCount(), 8);

        c.now = real + 5;
        book(store, 1, c);
        store.pruneIfNewDay(c.now);
        c.tick += 60s;
        store.saveIfDue();
    }
    // A launch while the clock is wrong.
    c.now = ahead;
    StatsStore(400, c.clocks(), tmp.path()).save();

    c.now = real + 10;
    StatsStore store(400, c.clocks(), tmp.path());
    std::vector<std::string> expected = sevenDays;
    expected.push_back(StatsLedger::dayKey(ahead, c.calendar));
    EXPECT_EQ(dayKeys(store.ledger()), expected);
    EXPECT_EQ(dayKeys(decodeFile(tmp.path() + "/stats.json")), expected);
    EXPECT_EQ(store.ledger().days.at(StatsLedger::dayKey(real, c.calendar)).activeSeconds, 61);
}

// The day booked under the wrong clock lies in the future once the clock is back and counts for nothing:
// the days that go, and when, are those a ledger without it would lose.
TEST(StatsStoreTest, ADayBookedUnderAWrongClockPushesNoRealDayOut) {
    QTemporaryDir tmp;
    FakeClocks c;
    StatsStore store(7, c.clocks(), tmp.path());
    StatsLedger witness;
    for (int back = 6; back >= 0; --back) {
        witness.addActive(60, c.calendar.addingDays(-back, c.now), c.calendar);
    }
    store.ledger() = witness;
    const Date real = c.now;
    const Date ahead = c.calendar.addingDays(500, real);

    c.now = ahead;
    book(store, 1, c);
    store.pruneIfNewDay(c.now);
    c.now = real;
    store.pruneIfNewDay(c.now);

    for (int day = 1; day <= 3; ++day) {
        c.now = c.calendar.addingDays(day, real);
        book(store, 1, c);
        witness.addActive(1, c.now, c.calendar);
        store.pruneIfNewDay(c.now);
        witness.prune(7, c.now, c.calendar);
        std::vector<std::string> expected = dayKeys(witness);
        expected.push_back(StatsLedger::dayKey(ahead, c.calendar));
        EXPECT_EQ(dayKeys(store.ledger()), expected) << "day " << day;
    }
}

// Booking every day keeps exactly the retention; after a long pause the old days go on the next day.
TEST(StatsStoreTest, PruningStillBoundsTheFile) {
    QTemporaryDir tmp;
    FakeClocks c;
    StatsStore store(7, c.clocks(), tmp.path());
    for (int day = 0; day < 30; ++day) {
        c.now = c.calendar.addingDays(1, c.now);
        book(store, 1, c);
        store.pruneIfNewDay(c.now);
        ASSERT_LE(store.ledger().recordedDayCount(), 7) << "day " << day;
    }
    EXPECT_EQ(store.ledger().recordedDayCount(), 7);
    EXPECT_EQ(store.ledger().earliestDay(), StatsLedger::dayKey(c.calendar.addingDays(-6, c.now), c.calendar));
    store.save();

    c.now = c.calendar.addingDays(100, c.now);
    StatsStore back(7, c.clocks(), tmp.path());
    book(back, 1, c);
    // The launch after the pause removes only what the day after the last booking would have removed.
    EXPECT_EQ(back.ledger().recordedDayCount(), 7);
    EXPECT_EQ(back.ledger().earliestDay(),
              StatsLedger::dayKey(c.calendar.addingDays(-105, c.now), c.calendar));
    c.now = c.calendar.addingDays(1, c.now);
    book(back, 1, c);
    back.pruneIfNewDay(c.now);
    EXPECT_EQ(dayKeys(back.ledger()),
              (std::vector<std::string>{StatsLedger::dayKey(c.calendar.addingDays(-1, c.now), c.calendar),
                                        StatsLedger::dayKey(c.now, c.calendar)}));
}

TEST(StatsStoreTest, PeriodicSavesFollowTheMonotonicClock) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/stats.json";
    FakeClocks c;
    StatsStore store(400, c.clocks(), tmp.path());
    store.saveIfDue();
    EXPECT_EQ(decodeFile(file), StatsLedger());

    book(store, 1, c);
    c.tick += 59s;
    store.saveIfDue();
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(decodeFile(file), StatsLedger());

    c.tick += 1s;
    store.saveIfDue();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(decodeFile(file), store.ledger());

    // A clock that went back never stalls the save.
    book(store, 2, c);
    c.tick -= 3600s;
    store.saveIfDue();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(decodeFile(file).days.at("2026-03-05").activeSeconds, 3);
    EXPECT_EQ(store.lastSave(), c.tick);

    book(store, 4, c);
    c.tick += 30s;
    store.saveIfDue();
    EXPECT_TRUE(store.isDirty());
    // Wall time plays no part in the rule.
    c.now = c.now + 86400 * 3;
    store.saveIfDue();
    EXPECT_TRUE(store.isDirty());
}

TEST(StatsStoreTest, ResetWritesAtOnce) {
    QTemporaryDir tmp;
    writeBytes(tmp.path() + "/stats.json", readBytes(fixtures + "/stats.json"));
    FakeClocks c;
    StatsStore store(400, c.clocks(), tmp.path());
    store.saveIfDue();
    c.tick += 1s;
    store.reset();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(decodeFile(tmp.path() + "/stats.json"), StatsLedger());
}

struct LossCase {
    const char* name;
    std::function<QByteArray()> bytes;
};

class StatsStoreLossTest : public testing::TestWithParam<LossCase> {};

// The user's history is never thrown away: the broken file is kept beside the new one.
TEST_P(StatsStoreLossTest, ABrokenFileIsKeptAsideAndTheStoreStartsEmpty) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/stats.json";
    const QByteArray broken = GetParam().bytes();
    writeBytes(file, broken);
    FakeClocks c;

    StatsStore store(400, c.clocks(), tmp.path());
    EXPECT_EQ(store.ledger(), StatsLedger());
    EXPECT_EQ(readBytes(file + ".unreadable-2026-03-05"), broken);

    book(store, 42, c);
    store.saveIfDue();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(decodeFile(file), store.ledger());
    EXPECT_EQ(readBytes(file + ".unreadable-2026-03-05"), broken);
    EXPECT_EQ(StatsStore(400, c.clocks(), tmp.path()).ledger(), store.ledger());
}

INSTANTIATE_TEST_SUITE_P(
    Files, StatsStoreLossTest,
    testing::Values(LossCase{"Truncated",
                             [] {
                                 const QByteArray whole = readBytes(fixtures + "/stats.json");
                                 return whole.left(whole.size() / 2);
                             }},
                    LossCase{"Garbage", garbageBytes},
                    LossCase{"WrongTypeInOneField", [] { return readBytes(fixtures + "/wrong-type.json"); }},
                    LossCase{"EmptyObject", [] { return QByteArray("{}"); }},
                    LossCase{"EmptyFile", [] { return QByteArray(); }},
                    LossCase{"Zeros", [] { return QByteArray(512, '\0'); }}),
    [](const testing::TestParamInfo<LossCase>& info) { return std::string(info.param.name); });

TEST(StatsStoreTest, ASecondBrokenFileTheSameDayGetsItsOwnName) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/stats.json";
    FakeClocks c;
    writeBytes(file, "first");
    StatsStore(400, c.clocks(), tmp.path()).save();
    writeBytes(file, "second");
    StatsStore(400, c.clocks(), tmp.path()).save();
    EXPECT_EQ(readBytes(file + ".unreadable-2026-03-05"), "first");
    EXPECT_EQ(readBytes(file + ".unreadable-2026-03-05-2"), "second");
    EXPECT_EQ(decodeFile(file), StatsLedger());
}

TEST(StatsStoreTest, UnwritableFolderFailsQuietlyAndTheNextSaveRetries) {
    QTemporaryDir tmp;
    // A regular file where the data folder should be stops every write, even for root.
    const QString blocker = tmp.path() + "/share";
    writeBytes(blocker, "not a folder");
    const QString folder = blocker + "/Halvrick";
    FakeClocks c;
    StatsStore store(400, c.clocks(), folder);
    EXPECT_EQ(store.ledger(), StatsLedger());

    book(store, 10, c);
    store.saveIfDue();
    EXPECT_TRUE(store.isDirty());
    EXPECT_FALSE(store.lastSave());
    c.tick += 1s;
    book(store, 5, c);
    store.saveIfDue();
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(readBytes(blocker), "not a folder");

    ASSERT_TRUE(QFile::remove(blocker));
    c.tick += 1s;
    store.saveIfDue();
    EXPECT_FALSE(store.isDirty());
    EXPECT_EQ(store.lastSave(), c.tick);
    EXPECT_EQ(decodeFile(folder + "/stats.json").days.at("2026-03-05").activeSeconds, 15);
}

// A full disk fails the flush of a small file, not its write: the save must see that, keep the old file
// whole, stay dirty and succeed once there is room again.
TEST(StatsStoreTest, FullDisk_KeepsTheOldFileAndTheNextSaveSucceeds) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/stats.json";
    FakeClocks c;
    {
        StatsStore seed(400, c.clocks(), tmp.path());
        book(seed, 30, c);
        seed.save();
    }
    const QByteArray old = readBytes(file);
    ASSERT_FALSE(old.isEmpty());
    const int status = inChildWithFileSizeLimit(old.size() / 2, [&](const std::function<void()>& lift) {
        StatsStore store(400, c.clocks(), tmp.path());
        book(store, 5, c);
        store.save();
        if (!store.isDirty() || store.lastSave()) {
            return 1;
        }
        if (readBytes(file) != old) {
            return 2;
        }
        lift();
        c.tick += 1s;
        store.saveIfDue();
        return store.isDirty() ? 3 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(decodeFile(file).days.at("2026-03-05").activeSeconds, 35);
}

// A stats.json that is a FIFO would block the launch in open() for ever.
TEST(StatsStoreTest, AFifoInPlaceOfTheFileIsMovedAsideAndTheLaunchGoesOn) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/stats.json";
    ASSERT_EQ(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    FakeClocks c;
    const int status = inChildWithin(10, [&] {
        StatsStore store(400, c.clocks(), tmp.path());
        book(store, 5, c);
        store.save();
        return store.ledger().recordedDayCount() == 1 && !store.isDirty() ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "-1: the launch hung";
    EXPECT_EQ(decodeFile(file).days.at("2026-03-05").activeSeconds, 5);
    EXPECT_EQ(filesSetAside(tmp.path()), QStringList{"stats.json.unreadable-2026-03-05"});
}

TEST(StatsStoreTest, WithoutAFolderTheLedgerLivesInMemory) {
    FakeClocks c;
    StatsStore store(400, c.clocks(), std::nullopt);
    EXPECT_FALSE(store.fileURL());
    book(store, 1, c);
    store.save();
    EXPECT_TRUE(store.isDirty());
    EXPECT_EQ(store.ledger().days.at("2026-03-05").activeSeconds, 1);
}

TEST(StatsStoreTest, NamesThatAreNotUtf8StillSave) {
    QTemporaryDir tmp;
    FakeClocks c;
    StatsStore store(400, c.clocks(), tmp.path());
    store.ledger().addSweat(3, AppKey(AppKey::Kind::process, "caf\xe9", "caf\xe9"), c.now, c.calendar);
    store.save();
    EXPECT_FALSE(store.isDirty());
    const auto apps = decodeFile(tmp.path() + "/stats.json").days.at("2026-03-05").apps;
    ASSERT_EQ(apps.size(), 1u);
    EXPECT_EQ(apps.begin()->first, "caf\xef\xbf\xbd");
    EXPECT_EQ(apps.begin()->second.sweatSeconds, 3);
}

TEST(StatsStoreTest, DefaultFolderIsTheApplicationSupportFolder) {
    QTemporaryDir tmp;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", tmp.path().toUtf8());
    FakeClocks c;
    const StatsStore store(400, c.clocks());
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
    EXPECT_EQ(store.fileURL(), tmp.path() + "/Halvrick/stats.json");
    EXPECT_TRUE(QDir(tmp.path() + "/Halvrick").exists());
}

// A process killed at any point of a long run of saves leaves a file that decodes, holding at least
// every save it had finished.
TEST(StatsStoreKillTest, FileAlwaysDecodesAfterSigkillDuringSaves) {
    QTemporaryDir tmp;
    const QString file = tmp.path() + "/stats.json";
    FakeClocks c;
    {
        // A ledger of a busy few months, so that each save takes a while.
        StatsStore seed(400, c.clocks(), tmp.path());
        for (int back = 0; back < 120; ++back) {
            const Date at = c.calendar.addingDays(-back, c.now);
            for (int app = 0; app < 8; ++app) {
                const std::string id = "/usr/share/applications/app" + std::to_string(app) + ".desktop";
                seed.ledger().addSweat(1.0 / (app + 3),
                                       AppKey(AppKey::Kind::app, id, "App " + std::to_string(app)), at,
                                       c.calendar);
            }
        }
        seed.save();
        ASSERT_FALSE(seed.isDirty());
    }

    constexpr int rounds = 10;
    for (int round = 0; round < rounds; ++round) {
        const double activeBefore = decodeFile(file).days.at("2026-03-05").activeSeconds;
        int finished = 0;
        killDuringSaves(
            [&]() -> SaveStep {
                auto store = std::make_shared<StatsStore>(400, c.clocks(), tmp.path());
                return [store, &c] {
                    book(*store, 1, c);
                    store->save();
                    return !store->isDirty();
                };
            },
            round, rounds, finished);
        ASSERT_FALSE(HasFatalFailure());

        StatsLedger onDisk;
        ASSERT_NO_THROW(onDisk = decodeFile(file)) << "round " << round;
        EXPECT_GE(onDisk.days.at("2026-03-05").activeSeconds, activeBefore + finished);
        EXPECT_EQ(onDisk.recordedDayCount(), 120);
    }
    EXPECT_TRUE(filesSetAside(tmp.path()).isEmpty());
}

// A file the strict decoder accepts may still hold figures no day can hold. Whatever reads the ledger (the
// history's tiles and culprits, the CSV, the grade, the challenges, the blame history) sees the mended
// figures; the file is not rewritten for them, and the saves that follow leave a copy of it as it was.
TEST(StatsStoreTest, FiguresOutOfRangeAreMendedForEveryReaderWhileTheFileKeepsItsBytes) {
    QTemporaryDir tmp;
    const QByteArray original = readBytes(fixtures + "/out-of-range.json");
    writeBytes(tmp.path() + "/stats.json", original);
    FakeClocks c;
    StatsStore store(400, c.clocks(), tmp.path());
    const StatsLedger& ledger = store.ledger();
    EXPECT_EQ(store.mendedFigures(), 11U);
    EXPECT_EQ(readBytes(tmp.path() + "/stats.json"), original) << "loading writes nothing";
    EXPECT_TRUE(QDir(tmp.path()).entryList({"*.unreadable-*"}).isEmpty()) << "nor moves the file aside";
    ASSERT_EQ(store.originalPath(), tmp.path() + "/stats.json.original-2026-03-05");
    EXPECT_EQ(readBytes(*store.originalPath()), original);

    EXPECT_EQ(SweatCSV::text(ledger.allDailyTotals(c.now, c.calendar)),
              std::string(SweatCSV::header) +
                  "\n2026-03-04,1500.0,0.0,1500.0,90000,0\n2026-03-05,0.0,0.0,60.0,2,1\n");

    const StatsTotals totals = ledger.totals(7, c.now, c.calendar);
    struct Shown {
        double seconds;
        const char* text;
    };
    for (const Shown shown :
         {Shown{totals.sweatingSeconds, "25 h"}, Shown{totals.meltdownSeconds, "0 min"},
          Shown{totals.activeSeconds, "26 h"}, Shown{totals.longestStretchSeconds, "30 min"}}) {
        EXPECT_EQ(Copy::duration(shown.seconds), shown.text);
    }
    EXPECT_EQ(totals.promptsShown, 90002);
    EXPECT_EQ(totals.breaksTaken, 1);
    ASSERT_EQ(totals.culprits.size(), 1U) << "no sweat time of its own left for the browser";
    EXPECT_EQ(totals.culprits[0].name, "Editor");
    EXPECT_EQ(Copy::duration(totals.culprits[0].sweatSeconds), "25 h 2 min");

    const std::vector<BlameRecord> blame = ledger.blameHistory(30, c.now, 60, c.calendar);
    ASSERT_EQ(blame.size(), 1U);
    EXPECT_EQ(blame[0].sweatSeconds, 90120);
    EXPECT_EQ(blame[0].topDays, 2);

    const std::vector<DailyTotals> days = ledger.dailyTotals(2, c.now, c.calendar);
    ASSERT_EQ(days.size(), 2U);
    struct Graded {
        const DailyTotals& day;
        std::int64_t value;
        bool coolHead;
    };
    // Read as stored, a day hot for 1e300 seconds and in meltdown for -1e300 was cool, and an hour without
    // heat gained points for -60 seconds of sweat.
    for (const Graded g : {Graded{days[0], 0, false}, Graded{days[1], 80, true}}) {
        ASSERT_TRUE(DailyGrade::evaluate(g.day)) << g.day.day;
        EXPECT_EQ(DailyGrade::evaluate(g.day)->value, g.value) << g.day.day;
        EXPECT_EQ(dayMet(ChallengeKind::coolHead, g.day), g.coolHead) << g.day.day;
    }

    // The launch's pruning writes the ledger as it is used.
    store.saveIfDue();
    StatsLedger written = decodeFile(tmp.path() + "/stats.json");
    EXPECT_EQ(written, ledger);
    EXPECT_EQ(written.mendFigures(), 0U);
    EXPECT_EQ(readBytes(*store.originalPath()), original);
}

} // namespace
} // namespace halvrick
