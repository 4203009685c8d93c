#include "model/ChallengeStore.h"

#include "StoreTestSupport.h"
#include "core/StatsLedger.h"
#include "model/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace halvrick {
namespace {

using namespace testing_support;

std::string today() {
    return "2026-03-05";
}

json::Json parseBytes(const QByteArray& bytes) {
    return json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

json::Json decodeFile(const QString& path) {
    return parseBytes(readBytes(path));
}

QByteArray dataOf(const json::Json& stored) {
    return QByteArray::fromBase64(QByteArray::fromStdString(stored.at("$data").get<std::string>()));
}

const Calendar berlin("Europe/Berlin");

// A challenge started on Monday 2 March 2026 at 09:00.
ActiveChallenge chillWeek() {
    return ActiveChallenge(ChallengeKind::chillWeek, "2026-03-02", berlin.date(2026, 3, 2, 9));
}

// Day rows from 2 March on; true is a day that meets the chill week, false one that does not.
std::vector<DailyTotals> days(const std::vector<bool>& met) {
    std::vector<DailyTotals> rows;
    for (std::size_t i = 0; i < met.size(); ++i) {
        const Date date = berlin.date(2026, 3, 2 + static_cast<int>(i));
        rows.emplace_back(StatsLedger::dayKey(date, berlin), date, 0, met[i] ? 0 : 900, 3600, 0, 0, 0);
    }
    return rows;
}

class ChallengeStoreTest : public testing::Test {
protected:
    QTemporaryDir tmp;
    QString path = tmp.path() + "/defaults.json";
};

TEST_F(ChallengeStoreTest, BothValuesRoundTripAsDataHoldingTheirJSON) {
    const ChallengeResult result(ChallengeKind::coolHead, "2026-02-20", "2026-02-26", 5,
                                 ChallengeResult::Outcome::completed);
    {
        Defaults defaults(path, today);
        ChallengeStore store(defaults);
        EXPECT_EQ(store.active(), std::nullopt);
        EXPECT_EQ(store.lastResult(), std::nullopt);
        store.setActive(chillWeek());
        store.setLastResult(result);
        // Assigning alone keeps the values in memory.
        EXPECT_FALSE(QFile::exists(path));
        store.save();
    }
    Defaults defaults(path, today);
    const ChallengeStore store(defaults);
    EXPECT_EQ(store.active(), chillWeek());
    EXPECT_EQ(store.lastResult(), result);

    const json::Json file = decodeFile(path);
    EXPECT_EQ(parseBytes(dataOf(file.at("challengeActive"))),
              (json::Json{{"kind", "chillWeek"},
                          {"startedDay", "2026-03-02"},
                          {"startedAt", chillWeek().startedAt.timeIntervalSinceReferenceDate()}}));
    EXPECT_EQ(parseBytes(dataOf(file.at("challengeLastResult")))["outcome"], "completed");
}

TEST_F(ChallengeStoreTest, AnAbsentValueOrOneThatCannotBeEncodedHasNoKey) {
    Defaults defaults(path, today);
    ChallengeStore store(defaults);
    store.setActive(chillWeek());
    store.setLastResult(
        ChallengeResult(ChallengeKind::breakHabit, "a", "b", 1, ChallengeResult::Outcome::failed));
    store.save();
    ASSERT_EQ(decodeFile(path).size(), 2u);

    store.setLastResult(std::nullopt);
    store.save();
    EXPECT_EQ(decodeFile(path).size(), 1u);
    // A start time that is not a number has no JSON form.
    store.setActive(ActiveChallenge(ChallengeKind::coolHead, "2026-03-02", Date::since1970(NAN)));
    store.save();
    EXPECT_EQ(decodeFile(path), json::Json::object());
}

TEST_F(ChallengeStoreTest, AnUnreadableValueLoadsAsAbsentAndStaysUntilTheNextSave) {
    const auto data = [](const std::string& text) {
        return json::Json{{"$data", QByteArray::fromStdString(text).toBase64().toStdString()}};
    };
    const std::string validActive =
        R"({"kind": "chillWeek", "startedDay": "2026-03-02", "startedAt": 794131200})";
    const std::pair<const char*, json::Json> cases[] = {
        {"UnknownKind", data(R"({"kind": "warmWeek", "startedDay": "2026-03-02", "startedAt": 794131200})")},
        {"MissingKey", data(R"({"kind": "chillWeek", "startedDay": "2026-03-02"})")},
        {"StartAsText", data(R"({"kind": "chillWeek", "startedDay": "2026-03-02", "startedAt": "today"})")},
        {"NotJSON", data("{\"kind\": ")},
        {"Empty", data("")},
        {"JSONNotData", parseBytes(QByteArray::fromStdString(validActive))},
        {"Text", validActive},
        {"NotBase64", json::Json{{"$data", "%%%"}}},
    };
    for (const auto& [name, stored] : cases) {
        const json::Json file{
            {"challengeActive", stored}, {"challengeLastResult", stored}, {"restEnabled", false}};
        writeBytes(path, QByteArray::fromStdString(file.dump()));
        Defaults defaults(path, today);
        ChallengeStore store(defaults);
        EXPECT_EQ(store.active(), std::nullopt) << name;
        EXPECT_EQ(store.lastResult(), std::nullopt) << name;
        EXPECT_EQ(decodeFile(path), file) << name;

        store.save();
        EXPECT_EQ(decodeFile(path), (json::Json{{"restEnabled", false}})) << name;
    }
}

TEST_F(ChallengeStoreTest, EvaluateWithoutAChallengeChangesNothing) {
    Defaults defaults(path, today);
    ChallengeStore store(defaults);
    EXPECT_EQ(store.evaluate(days({true, true}), berlin.date(2026, 3, 3, 12), berlin), std::nullopt);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ChallengeStoreTest, WonOnTheSeventhDayCountingToday) {
    Defaults defaults(path, today);
    ChallengeStore store(defaults);
    store.setActive(chillWeek());
    store.save();

    // Four met days before today, and today (Sunday 8 March) met too.
    const Date now = berlin.date(2026, 3, 8, 21);
    const auto result = store.evaluate(days({true, false, true, false, true, true, true}), now, berlin);
    const ChallengeResult expected(ChallengeKind::chillWeek, "2026-03-02", "2026-03-08", 5,
                                   ChallengeResult::Outcome::completed);
    EXPECT_EQ(result, expected);
    EXPECT_EQ(store.active(), std::nullopt);
    EXPECT_EQ(store.lastResult(), expected);

    const json::Json file = decodeFile(path);
    EXPECT_FALSE(file.contains("challengeActive"));
    EXPECT_EQ(ChallengeResult::fromJson(parseBytes(dataOf(file.at("challengeLastResult")))), expected);
    // Nothing left to evaluate.
    EXPECT_EQ(store.evaluate(days({true, true, true, true, true, true, true}), now, berlin), std::nullopt);
}

TEST_F(ChallengeStoreTest, EvaluateWhileItCanStillBeWonLeavesBothKeys) {
    Defaults defaults(path, today);
    ChallengeStore store(defaults);
    const ChallengeResult earlier(ChallengeKind::coolHead, "2026-02-20", "2026-02-26", 2,
                                  ChallengeResult::Outcome::failed);
    store.setActive(chillWeek());
    store.setLastResult(earlier);
    store.save();
    const QByteArray before = readBytes(path);

    const std::pair<Date, std::vector<bool>> cases[] = {
        {berlin.date(2026, 3, 2, 10), {}},                          // the first morning
        {berlin.date(2026, 3, 5, 12), {false, false, true, false}}, // two misses, today not met yet
        {berlin.date(2026, 3, 8, 12),
         {true, true, true, true, false, true, false}}, // the last day still open
    };
    for (const auto& [now, met] : cases) {
        EXPECT_EQ(store.evaluate(days(met), now, berlin), std::nullopt);
        EXPECT_EQ(store.active(), chillWeek());
        EXPECT_EQ(store.lastResult(), earlier);
        EXPECT_EQ(readBytes(path), before);
    }
}

TEST_F(ChallengeStoreTest, LostOnceFiveDaysAreOutOfReach) {
    Defaults defaults(path, today);
    ChallengeStore store(defaults);
    store.setActive(chillWeek());
    const auto result =
        store.evaluate(days({false, true, false, false}), berlin.date(2026, 3, 6, 12), berlin);
    const ChallengeResult expected(ChallengeKind::chillWeek, "2026-03-02", "2026-03-06", 1,
                                   ChallengeResult::Outcome::failed);
    EXPECT_EQ(result, expected);
    EXPECT_EQ(store.active(), std::nullopt);
    Defaults reread(path, today);
    const ChallengeStore stored(reread);
    EXPECT_EQ(stored.active(), std::nullopt);
    EXPECT_EQ(stored.lastResult(), expected);
}

TEST_F(ChallengeStoreTest, GivingUpAndDismissingTouchOnlyTheirOwnValue) {
    Defaults defaults(path, today);
    ChallengeStore store(defaults);
    const ChallengeResult earlier(ChallengeKind::coolHead, "2026-02-20", "2026-02-26", 2,
                                  ChallengeResult::Outcome::failed);
    store.setActive(chillWeek());
    store.save();

    // No result to dismiss: no write, and the running challenge stays.
    ASSERT_TRUE(QFile::remove(path));
    store.dismissResult();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(store.active(), chillWeek());

    store.setLastResult(earlier);
    store.giveUp();
    EXPECT_EQ(store.active(), std::nullopt);
    EXPECT_EQ(store.lastResult(), earlier);
    EXPECT_EQ(decodeFile(path).size(), 1u);

    // Giving up twice: the second call writes nothing.
    ASSERT_TRUE(QFile::remove(path));
    store.giveUp();
    EXPECT_FALSE(QFile::exists(path));

    store.dismissResult();
    EXPECT_EQ(store.lastResult(), std::nullopt);
    EXPECT_EQ(decodeFile(path), json::Json::object());
}

TEST_F(ChallengeStoreTest, AnUnreadableFileIsMovedAside) {
    writeBytes(path, garbageBytes());
    Defaults defaults(path, today);
    ChallengeStore store(defaults);
    EXPECT_EQ(store.active(), std::nullopt);
    EXPECT_EQ(readBytes(path + ".unreadable-2026-03-05"), garbageBytes());

    store.setActive(chillWeek());
    store.save();
    Defaults reread(path, today);
    EXPECT_EQ(ChallengeStore(reread).active(), chillWeek());
    EXPECT_EQ(readBytes(path + ".unreadable-2026-03-05"), garbageBytes());
}

// The settings and the challenge live in one file; a store in another process writing at the same time
// must neither break the file nor drop the other's keys.
TEST_F(ChallengeStoreTest, SettingsAndChallengesWrittenAtOnceKeepEveryKeyAndADecodableFile) {
    constexpr int writes = 60;
    pid_t children[2];
    for (int id = 0; id < 2; ++id) {
        children[id] = fork();
        ASSERT_GE(children[id], 0);
        if (children[id] == 0) {
            Defaults defaults(path, today);
            if (id == 0) {
                SettingsStore settings(defaults);
                for (int i = 1; i <= writes; ++i) {
                    settings.setRestIntervalMinutes(i);
                    settings.setPersonality(allPersonalities[static_cast<std::size_t>(i) % 4]);
                }
            } else {
                ChallengeStore challenges(defaults);
                for (int i = 1; i <= writes; ++i) {
                    challenges.setActive(
                        ActiveChallenge(ChallengeKind::coolHead, "2026-03-02", Date::since1970(i)));
                    challenges.setLastResult(ChallengeResult(ChallengeKind::breakHabit, "2026-02-20",
                                                             "2026-02-26", i,
                                                             ChallengeResult::Outcome::failed));
                    challenges.save();
                }
            }
            _exit(testing_support::synchronizeEventually(defaults) ? 0 : 1);
        }
    }

    int running = 2;
    int status[2] = {-1, -1};
    int undecodable = 0;
    while (running > 0) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            try {
                json::object(parseBytes(file.readAll()), "the defaults");
            } catch (const Error&) {
                ++undecodable;
            }
        }
        for (int id = 0; id < 2; ++id) {
            if (status[id] == -1 && waitpid(children[id], &status[id], WNOHANG) == children[id]) {
                --running;
            }
        }
    }
    EXPECT_EQ(undecodable, 0);
    for (int id = 0; id < 2; ++id) {
        ASSERT_TRUE(WIFEXITED(status[id]));
        EXPECT_EQ(WEXITSTATUS(status[id]), 0);
    }

    Defaults defaults(path, today);
    const SettingsStore settings(defaults);
    const ChallengeStore challenges(defaults);
    EXPECT_EQ(settings.restIntervalMinutes(), writes);
    EXPECT_EQ(settings.personality(), allPersonalities[writes % 4]);
    EXPECT_EQ(challenges.active(),
              ActiveChallenge(ChallengeKind::coolHead, "2026-03-02", Date::since1970(writes)));
    ASSERT_TRUE(challenges.lastResult());
    EXPECT_EQ(challenges.lastResult()->metDays, writes);
    // The two settings written and the two challenge keys.
    EXPECT_EQ(decodeFile(path).size(), 2u + 2u);
}

} // namespace
} // namespace halvrick
