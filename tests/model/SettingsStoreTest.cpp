#include "model/SettingsStore.h"

#include "StoreTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace halvrick {
namespace {

using namespace testing_support;

const std::vector<std::string> settingKeys{
    "restEnabled",          "restIntervalMinutes", "quietHoursEnabled", "quietStartMinute",
    "quietEndMinute",       "headsUpEnabled",      "reminders",         "notificationsEnabled",
    "hasCompletedFirstRun", "menuBarMonochrome",   "personality",       "soundsEnabled",
    "notchPeekEnabled",     "heatBreakEnabled",    "menuBarDisplay",    "endOfDayEnabled",
    "endOfDayMinute"};

std::string today() {
    return "2026-03-05";
}

json::Json decodeFile(const QString& path) {
    const QByteArray bytes = readBytes(path);
    return json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

Uuid id(std::uint8_t n) {
    Uuid::Bytes bytes{};
    bytes[15] = n;
    return Uuid(bytes);
}

Reminder reminder(std::uint8_t n, std::string text,
                  Reminder::Schedule schedule = Reminder::Schedule::every(30)) {
    return Reminder(id(n), std::move(text), schedule, true);
}

// Every setting as one comparable line.
std::string describe(const SettingsStore& s) {
    std::string text =
        std::to_string(s.restEnabled()) + " " + std::to_string(s.restIntervalMinutes()) + " " +
        std::to_string(s.quietHoursEnabled()) + " " + std::to_string(s.quietStartMinute()) + "-" +
        std::to_string(s.quietEndMinute()) + " " + std::to_string(s.headsUpEnabled()) + " " +
        std::to_string(s.notificationsEnabled()) + " " + std::to_string(s.hasCompletedFirstRun()) + " " +
        std::to_string(s.menuBarMonochrome()) + " " + std::string(toString(s.personality())) + " " +
        std::to_string(s.soundsEnabled()) + " " + std::to_string(s.notchPeekEnabled()) + " " +
        std::to_string(s.heatBreakEnabled()) + " " + std::string(toString(s.menuBarDisplay())) + " " +
        std::to_string(s.endOfDayEnabled()) + " " + std::to_string(s.endOfDayMinute()) + " reminders:";
    for (const Reminder& r : s.reminders()) {
        text += " " + r.text;
    }
    return text;
}

const std::string freshInstallation = "1 60 0 1320-480 1 0 0 0 mild 0 1 1 face 0 1110 reminders:";

class SettingsStoreTest : public testing::Test {
protected:
    QTemporaryDir tmp;
    QString path = tmp.path() + "/Halvrick/defaults.json";
};

TEST_F(SettingsStoreTest, AFreshInstallationReadsTheDefaultsAndWritesNothing) {
    Defaults defaults(path, today);
    const SettingsStore store(defaults);
    EXPECT_EQ(describe(store), freshInstallation);
    EXPECT_EQ(store.quietHours(), std::nullopt);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(SettingsStoreTest, EverySettingRoundTripsWithItsStoredType) {
    {
        Defaults defaults(path, today);
        SettingsStore store(defaults);
        store.setRestEnabled(false);
        store.setRestIntervalMinutes(25);
        store.setQuietHoursEnabled(true);
        store.setQuietStartMinute(1380);
        store.setQuietEndMinute(420);
        store.setHeadsUpEnabled(false);
        store.setReminders(
            {reminder(1, "Stretch"), reminder(2, "Water \xf0\x9f\x92\xa7", Reminder::Schedule::daily(9, 5))});
        store.setNotificationsEnabled(true);
        store.setHasCompletedFirstRun(true);
        store.setMenuBarMonochrome(true);
        store.setPersonality(Personality::gremlin);
        store.setSoundsEnabled(true);
        store.setNotchPeekEnabled(false);
        store.setHeatBreakEnabled(false);
        store.setMenuBarDisplay(MenuBarDisplay::faceAndCPU);
        store.setEndOfDayEnabled(true);
        store.setEndOfDayMinute(1200);
    }
    Defaults defaults(path, today);
    const SettingsStore store(defaults);
    EXPECT_EQ(describe(store), "0 25 1 1380-420 0 1 1 1 gremlin 1 0 0 faceAndCPU 1 1200 reminders: Stretch "
                               "Water \xf0\x9f\x92\xa7");
    EXPECT_EQ(store.reminders().at(1),
              reminder(2, "Water \xf0\x9f\x92\xa7", Reminder::Schedule::daily(9, 5)));
    EXPECT_EQ(store.quietHours(), (QuietHours{1380, 420}));

    const json::Json file = decodeFile(path);
    EXPECT_EQ(file.size(), settingKeys.size());
    EXPECT_EQ(file["restEnabled"], false);
    EXPECT_TRUE(file["restIntervalMinutes"].is_number_integer());
    EXPECT_EQ(file["personality"], "gremlin");
    EXPECT_EQ(file["menuBarDisplay"], "faceAndCPU");
    // The reminders are data holding the JSON of the list.
    const QByteArray data = QByteArray::fromBase64(QByteArray::fromStdString(file["reminders"]["$data"]));
    const json::Json list =
        json::parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["id"], "00000000-0000-0000-0000-000000000001");
    EXPECT_EQ(list[1]["schedule"], (json::Json{{"daily", {{"hour", 9}, {"minute", 5}}}}));
}

TEST_F(SettingsStoreTest, AStoredValueOfTheWrongKindReadsAsTheDefault) {
    writeBytes(path, R"({
        "restEnabled": "false",
        "restIntervalMinutes": 30.0,
        "quietHoursEnabled": 1,
        "quietStartMinute": "1380",
        "quietEndMinute": null,
        "headsUpEnabled": {"$data": "ZmFsc2U="},
        "reminders": [{"id": "00000000-0000-0000-0000-000000000001", "text": "Stretch",
                       "schedule": {"every": {"minutes": 30}}, "isEnabled": true}],
        "notificationsEnabled": [true],
        "hasCompletedFirstRun": "true",
        "menuBarMonochrome": 0,
        "personality": "Gremlin",
        "soundsEnabled": 1.0,
        "notchPeekEnabled": "no",
        "heatBreakEnabled": null,
        "menuBarDisplay": "CPU",
        "endOfDayEnabled": "yes",
        "endOfDayMinute": true
    })");
    Defaults defaults(path, today);
    EXPECT_EQ(describe(SettingsStore(defaults)), freshInstallation);

    // Raw values are exact; a number is no personality.
    for (const char* personality : {R"("")", R"("Mild")", R"(" gremlin")", "3"}) {
        writeBytes(path, QByteArray(R"({"personality": )") + personality + "}");
        Defaults other(path, today);
        EXPECT_EQ(SettingsStore(other).personality(), Personality::mild) << personality;
    }
    for (const char* display : {R"("Face")", R"("faceandcpu")", R"("")", "1"}) {
        writeBytes(path, QByteArray(R"({"menuBarDisplay": )") + display + "}");
        Defaults other(path, today);
        EXPECT_EQ(SettingsStore(other).menuBarDisplay(), MenuBarDisplay::face) << display;
    }
}

// What the settings window shows and what the model uses are both read here: a stored number outside its
// range reads as the nearest one inside it, and the file keeps what it holds.
TEST_F(SettingsStoreTest, NumbersOutsideTheirRangeReadAsTheNearestBoundAndStayStoredAsTheyWere) {
    struct Case {
        std::int64_t stored;
        std::int64_t interval;
        std::int64_t minuteOfDay;
    };
    for (const Case c : {Case{-5, 1, 0}, Case{0, 1, 0}, Case{100000, 480, 1439}, Case{1440, 480, 1439},
                         Case{2079, 480, 1439}, Case{std::numeric_limits<std::int64_t>::min(), 1, 0},
                         Case{std::numeric_limits<std::int64_t>::max(), 480, 1439}, Case{75, 75, 75}}) {
        const std::string n = std::to_string(c.stored);
        writeBytes(
            path, QByteArray::fromStdString(R"({"restIntervalMinutes": )" + n + R"(, "quietStartMinute": )" +
                                            n + R"(, "quietEndMinute": )" + n + R"(, "endOfDayMinute": )" +
                                            n + R"(, "quietHoursEnabled": true, "personality": "deadpan"})"));
        Defaults defaults(path, today);
        SettingsStore store(defaults);
        EXPECT_EQ(store.restIntervalMinutes(), c.interval) << n;
        EXPECT_EQ(store.quietStartMinute(), c.minuteOfDay) << n;
        EXPECT_EQ(store.quietEndMinute(), c.minuteOfDay) << n;
        EXPECT_EQ(store.endOfDayMinute(), c.minuteOfDay) << n;
        EXPECT_EQ(store.quietHours(), (QuietHours{c.minuteOfDay, c.minuteOfDay})) << n;
        EXPECT_EQ(store.personality(), Personality::deadpan);

        // Assigned anew, the number is announced as it reads and stored as it was given.
        std::vector<std::int64_t> announced;
        const auto note = [&announced](std::int64_t value) { announced.push_back(value); };
        QObject::connect(&store, &SettingsStore::restIntervalMinutesChanged, note);
        QObject::connect(&store, &SettingsStore::quietStartMinuteChanged, note);
        QObject::connect(&store, &SettingsStore::quietEndMinuteChanged, note);
        QObject::connect(&store, &SettingsStore::endOfDayMinuteChanged, note);
        store.setRestIntervalMinutes(c.stored);
        store.setQuietStartMinute(c.stored);
        store.setQuietEndMinute(c.stored);
        store.setEndOfDayMinute(c.stored);
        EXPECT_EQ(announced, (std::vector{c.interval, c.minuteOfDay, c.minuteOfDay, c.minuteOfDay})) << n;
        const json::Json file = decodeFile(path);
        for (const char* key :
             {"restIntervalMinutes", "quietStartMinute", "quietEndMinute", "endOfDayMinute"}) {
            EXPECT_EQ(file[key], c.stored) << key << " " << n;
        }
    }
}

TEST_F(SettingsStoreTest, RemindersReadWithTheNearestValidScheduleAndStayStoredAsTheyWere) {
    struct Case {
        Reminder::Schedule stored;
        Reminder::Schedule read;
    };
    const std::vector<Case> cases{
        {Reminder::Schedule::every(-5), Reminder::Schedule::every(1)},
        {Reminder::Schedule::every(0), Reminder::Schedule::every(1)},
        {Reminder::Schedule::every(100000), Reminder::Schedule::every(100000)},
        {Reminder::Schedule::daily(25, 70), Reminder::Schedule::daily(23, 59)},
        {Reminder::Schedule::daily(-1, -3), Reminder::Schedule::daily(0, 0)},
        {Reminder::Schedule::daily(9, 5), Reminder::Schedule::daily(9, 5)},
    };
    std::vector<Reminder> stored;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        stored.push_back(reminder(static_cast<std::uint8_t>(i + 1),
                                  std::string("r").append(std::to_string(i)), cases[i].stored));
    }
    json::Json list = json::Json::array();
    for (const Reminder& r : stored) {
        list.push_back(r.toJson());
    }
    writeBytes(
        path, QByteArray::fromStdString(json::Json{
                  {"reminders", {{"$data", QByteArray::fromStdString(list.dump()).toBase64().toStdString()}}}}
                                            .dump()));
    Defaults defaults(path, today);
    SettingsStore store(defaults);
    ASSERT_EQ(store.reminders().size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(store.reminders()[i].schedule, cases[i].read) << cases[i].stored.toJson().dump();
        EXPECT_TRUE(store.reminders()[i].schedule.isValid());
    }

    // Switching one reminder off stores what it showed; the others keep their stored schedules.
    Reminder first = store.reminders()[0];
    first.isEnabled = false;
    store.upsert(first);
    EXPECT_EQ(store.reminders()[0].schedule, Reminder::Schedule::every(1));
    Defaults reread(path, today);
    const QByteArray data = *reread.getData("reminders");
    const json::Json written =
        json::parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    EXPECT_EQ(written[0]["schedule"], Reminder::Schedule::every(1).toJson());
    for (std::size_t i = 1; i < cases.size(); ++i) {
        EXPECT_EQ(written[i]["schedule"], cases[i].stored.toJson()) << i;
    }
}

// Reminders that are not data, not JSON, not a list, or hold one bad entry all read as no reminders.
TEST_F(SettingsStoreTest, AnUnreadableReminderListReadsAsEmpty) {
    const auto data = [](const std::string& text) {
        return "{\"$data\": \"" + QByteArray::fromStdString(text).toBase64().toStdString() + "\"}";
    };
    const std::string good = R"({"id": "00000000-0000-0000-0000-000000000001", "text": "Stretch",
                                 "schedule": {"every": {"minutes": 30}}, "isEnabled": true})";
    const std::string badId = R"({"id": "one", "text": "Water", "schedule": {"every": {"minutes": 30}},
                                  "isEnabled": true})";
    const std::string twoCases = R"({"id": "00000000-0000-0000-0000-000000000002", "text": "Water",
                                     "schedule": {"every": {"minutes": 30}, "daily": {"hour": 9, "minute": 0}},
                                     "isEnabled": true})";
    const std::pair<std::string, std::size_t> cases[] = {
        {data("[" + good + "]"), 1},
        {data("[]"), 0},
        {"[" + good + "]", 0},
        {data("[" + good + ", " + badId + "]"), 0},
        {data("[" + good + ", " + twoCases + "]"), 0},
        {data(good), 0},
        {data("[" + good), 0},
        {data(""), 0},
        {("\"" + QByteArray::fromStdString("[" + good + "]").toBase64() + "\"").toStdString(), 0},
        {R"({"$data": "%%%"})", 0},
    };
    for (const auto& [stored, count] : cases) {
        writeBytes(path, QByteArray::fromStdString(R"({"reminders": )" + stored + "}"));
        Defaults defaults(path, today);
        EXPECT_EQ(SettingsStore(defaults).reminders().size(), count) << stored;
    }
}

TEST_F(SettingsStoreTest, EachAssignmentAnnouncesThenWritesItsOwnKeyAlone) {
    writeBytes(path, R"({"restEnabled": false, "ignoredAppNames": {"process:cc1plus": "cc1plus"}})");
    Defaults defaults(path, today);
    SettingsStore store(defaults);
    const QByteArray loaded = readBytes(path);

    std::vector<Personality> announced;
    QByteArray fileWhenAnnounced;
    QObject::connect(&store, &SettingsStore::personalityChanged, [&](Personality p) {
        announced.push_back(p);
        fileWhenAnnounced = readBytes(path);
    });
    store.setPersonality(Personality::dramatic);
    EXPECT_EQ(announced, std::vector<Personality>{Personality::dramatic});
    // Observers already see the new value; the file follows right after.
    EXPECT_EQ(fileWhenAnnounced, loaded);

    // Keys that were missing stay missing: they still read as their defaults.
    EXPECT_EQ(decodeFile(path), (json::Json{{"restEnabled", false},
                                            {"ignoredAppNames", {{"process:cc1plus", "cc1plus"}}},
                                            {"personality", "dramatic"}}));

    // The same value again still announces and saves.
    ASSERT_TRUE(QFile::remove(path));
    store.setPersonality(Personality::dramatic);
    EXPECT_EQ(announced.size(), 2u);
    EXPECT_EQ(decodeFile(path), (json::Json{{"personality", "dramatic"}}));

    // Every setter announces its own setting, then that any setting changed, and writes its key alone.
    int changes = 0;
    int anyChanges = 0;
    const auto count = [&changes] { ++changes; };
    QObject::connect(&store, &SettingsStore::changed, [&] {
        ++anyChanges;
        EXPECT_EQ(changes, anyChanges) << "the setting's own signal comes first";
    });
    QObject::connect(&store, &SettingsStore::restEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::restIntervalMinutesChanged, count);
    QObject::connect(&store, &SettingsStore::quietHoursEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::quietStartMinuteChanged, count);
    QObject::connect(&store, &SettingsStore::quietEndMinuteChanged, count);
    QObject::connect(&store, &SettingsStore::headsUpEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::remindersChanged, count);
    QObject::connect(&store, &SettingsStore::notificationsEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::hasCompletedFirstRunChanged, count);
    QObject::connect(&store, &SettingsStore::menuBarMonochromeChanged, count);
    QObject::connect(&store, &SettingsStore::soundsEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::notchPeekEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::heatBreakEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::menuBarDisplayChanged, count);
    QObject::connect(&store, &SettingsStore::endOfDayEnabledChanged, count);
    QObject::connect(&store, &SettingsStore::endOfDayMinuteChanged, count);
    const std::vector<std::pair<std::string, std::function<void()>>> setters{
        {"restEnabled", [&] { store.setRestEnabled(true); }},
        {"restIntervalMinutes", [&] { store.setRestIntervalMinutes(45); }},
        {"quietHoursEnabled", [&] { store.setQuietHoursEnabled(true); }},
        {"quietStartMinute", [&] { store.setQuietStartMinute(1); }},
        {"quietEndMinute", [&] { store.setQuietEndMinute(2); }},
        {"headsUpEnabled", [&] { store.setHeadsUpEnabled(false); }},
        {"reminders", [&] { store.upsert(reminder(1, "Stretch")); }},
        {"notificationsEnabled", [&] { store.setNotificationsEnabled(true); }},
        {"hasCompletedFirstRun", [&] { store.setHasCompletedFirstRun(true); }},
        {"menuBarMonochrome", [&] { store.setMenuBarMonochrome(true); }},
        {"soundsEnabled", [&] { store.setSoundsEnabled(true); }},
        {"notchPeekEnabled", [&] { store.setNotchPeekEnabled(false); }},
        {"heatBreakEnabled", [&] { store.setHeatBreakEnabled(false); }},
        {"menuBarDisplay", [&] { store.setMenuBarDisplay(MenuBarDisplay::cpu); }},
        {"endOfDayEnabled", [&] { store.setEndOfDayEnabled(true); }},
        {"endOfDayMinute", [&] { store.setEndOfDayMinute(1140); }},
    };
    for (const auto& [key, set] : setters) {
        json::Json before = decodeFile(path);
        const int changesBefore = changes;
        set();
        EXPECT_EQ(changes, changesBefore + 1) << key;
        EXPECT_EQ(anyChanges, changes) << key;
        json::Json after = decodeFile(path);
        EXPECT_TRUE(after.contains(key)) << key;
        EXPECT_NE(after[key], before[key]) << key;
        before.erase(key);
        after.erase(key);
        EXPECT_EQ(after, before) << key;
    }
    EXPECT_EQ(decodeFile(path).size(), settingKeys.size());
    Defaults reread(path, today);
    EXPECT_EQ(describe(SettingsStore(reread)),
              "1 45 1 1-2 0 1 1 1 dramatic 1 0 0 cpu 1 1140 reminders: Stretch");
}

// Another program's store, or another store of the same file, may change other settings meanwhile: a
// change here writes over none of them with what this store read earlier.
TEST_F(SettingsStoreTest, AChangeKeepsWhatAnotherWriterStoredForOtherSettings) {
    writeBytes(path, R"({"personality": "deadpan", "restIntervalMinutes": 25})");
    Defaults mine(path, today);
    SettingsStore store(mine);
    Defaults theirs(path, today);
    SettingsStore other(theirs);

    other.setPersonality(Personality::gremlin);
    other.upsert(reminder(1, "Stretch"));
    other.setRestIntervalMinutes(9999);
    store.setHeadsUpEnabled(false);
    store.setRestEnabled(false);

    Defaults reread(path, today);
    const SettingsStore read(reread);
    EXPECT_EQ(read.personality(), Personality::gremlin);
    EXPECT_EQ(read.reminders(), std::vector<Reminder>{reminder(1, "Stretch")});
    EXPECT_EQ(reread.getInt("restIntervalMinutes"), 9999);
    EXPECT_FALSE(read.headsUpEnabled());
    EXPECT_FALSE(read.restEnabled());
    // Each store keeps showing what it has read and set itself.
    EXPECT_EQ(store.personality(), Personality::deadpan);
    EXPECT_EQ(store.restIntervalMinutes(), 25);
}

TEST_F(SettingsStoreTest, QuietHoursOnlyWhileSwitchedOn) {
    Defaults defaults(path, today);
    SettingsStore store(defaults);
    store.setQuietStartMinute(60);
    store.setQuietEndMinute(30);
    EXPECT_EQ(store.quietHours(), std::nullopt);
    store.setQuietHoursEnabled(true);
    EXPECT_EQ(store.quietHours(), (QuietHours{60, 30}));
    store.setQuietEndMinute(1439);
    EXPECT_EQ(store.quietHours(), (QuietHours{60, 1439}));
    store.setQuietHoursEnabled(false);
    EXPECT_EQ(store.quietHours(), std::nullopt);
}

TEST_F(SettingsStoreTest, UpsertAndDeleteByIdentifier) {
    Defaults defaults(path, today);
    SettingsStore store(defaults);
    store.upsert(reminder(1, "Stretch"));
    store.upsert(reminder(2, "Water"));
    store.upsert(reminder(3, "Eyes"));
    // A known id keeps its place; a new one goes last.
    store.upsert(Reminder(id(1), "Stretch more", Reminder::Schedule::daily(10, 0), false));
    store.upsert(reminder(4, "Posture"));
    EXPECT_EQ(describe(store).substr(freshInstallation.size()), " Stretch more Water Eyes Posture");
    EXPECT_EQ(store.reminders().front(),
              Reminder(id(1), "Stretch more", Reminder::Schedule::daily(10, 0), false));

    // A list that came with two entries of one id loses both.
    store.setReminders({reminder(2, "Water"), reminder(5, "Walk"), reminder(2, "Water again")});
    store.deleteReminder(id(2));
    store.deleteReminder(id(9));
    EXPECT_EQ(describe(store).substr(freshInstallation.size()), " Walk");

    Defaults reread(path, today);
    EXPECT_EQ(SettingsStore(reread).reminders(), std::vector<Reminder>{reminder(5, "Walk")});
}

TEST_F(SettingsStoreTest, AnUnreadableFileIsMovedAsideAndTheDefaultsApply) {
    const QByteArray broken = R"({"restEnabled": false, "personality": "gre)";
    writeBytes(path, broken);
    Defaults defaults(path, today);
    SettingsStore store(defaults);
    EXPECT_EQ(describe(store), freshInstallation);
    EXPECT_EQ(readBytes(path + ".unreadable-2026-03-05"), broken);

    store.setPersonality(Personality::deadpan);
    EXPECT_EQ(decodeFile(path), (json::Json{{"personality", "deadpan"}}));
    EXPECT_EQ(readBytes(path + ".unreadable-2026-03-05"), broken);
}

TEST_F(SettingsStoreTest, ReminderTextThatIsNotUTF8IsMendedNotLost) {
    Defaults defaults(path, today);
    SettingsStore store(defaults);
    store.upsert(reminder(1, "caf\xe9 au lait"));
    Defaults reread(path, today);
    EXPECT_EQ(SettingsStore(reread).reminders(),
              std::vector<Reminder>{reminder(1, "caf\xef\xbf\xbd au lait")});
}

} // namespace
} // namespace halvrick
