#include "model/Defaults.h"

#include "StoreTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace halvrick {
namespace {

using namespace testing_support;

std::string today() {
    return "2026-03-05";
}

Defaults open(const QString& path) {
    return Defaults(path, today);
}

json::Json decodeFile(const QString& path) {
    const QByteArray bytes = readBytes(path);
    return json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// The typed reads that find a value under the key.
std::string typesOf(const Defaults& defaults, std::string_view key) {
    std::string types;
    const auto add = [&types](bool present, const char* name) {
        if (present) {
            types += types.empty() ? name : std::string(" ") + name;
        }
    };
    add(defaults.getBool(key).has_value(), "bool");
    add(defaults.getInt(key).has_value(), "int");
    add(defaults.getDouble(key).has_value(), "double");
    add(defaults.getString(key).has_value(), "string");
    add(defaults.getData(key).has_value(), "data");
    add(defaults.getStringList(key).has_value(), "list");
    add(defaults.getStringMap(key).has_value(), "map");
    return types;
}

QByteArray everyByte() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) {
        bytes.append(static_cast<char>(i));
    }
    return bytes;
}

TEST(DefaultsTest, EveryTypeRoundTripsThroughTheFile) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    const std::map<std::string, std::string> map{
        {"/usr/share/applications/org.gnome.Nautilus.desktop", "Files"},
        {"$data", "$data"},
        {"$$x", "y"},
        {"", ""}};
    const std::vector<std::string> list{"cc1plus", "", "caf\xc3\xa9"};
    {
        Defaults defaults = open(path);
        defaults.setBool("yes", true);
        defaults.setBool("no", false);
        defaults.setInt("min", std::numeric_limits<std::int64_t>::min());
        defaults.setInt("max", std::numeric_limits<std::int64_t>::max());
        defaults.setInt("zero", 0);
        defaults.setDouble("tenth", 0.1);
        defaults.setDouble("tiny", -1e-300);
        defaults.setDouble("whole", 2.0);
        defaults.setString("text", "say \"hi\"\n\xc3\xa9");
        defaults.setString("empty", "");
        defaults.setData("bytes", everyByte());
        defaults.setData("noBytes", {});
        defaults.setStringList("list", list);
        defaults.setStringList("noList", {});
        defaults.setStringMap("map", map);
        defaults.setStringMap("noMap", {});
    }
    const Defaults defaults = open(path);
    EXPECT_EQ(defaults.getBool("yes"), true);
    EXPECT_EQ(defaults.getBool("no"), false);
    EXPECT_EQ(defaults.getInt("min"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(defaults.getInt("max"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(defaults.getInt("zero"), 0);
    EXPECT_EQ(defaults.getDouble("tenth"), 0.1);
    EXPECT_EQ(defaults.getDouble("tiny"), -1e-300);
    EXPECT_EQ(defaults.getDouble("whole"), 2.0);
    EXPECT_EQ(defaults.getString("text"), "say \"hi\"\n\xc3\xa9");
    EXPECT_EQ(defaults.getString("empty"), "");
    EXPECT_EQ(defaults.getData("bytes"), everyByte());
    EXPECT_EQ(defaults.getData("noBytes"), QByteArray());
    EXPECT_EQ(defaults.getStringList("list"), list);
    EXPECT_EQ(defaults.getStringList("noList"), std::vector<std::string>());
    EXPECT_EQ(defaults.getStringMap("map"), map);
    EXPECT_EQ(defaults.getStringMap("noMap"), (std::map<std::string, std::string>()));

    // Each value reads only as the type it was stored with (an integer also as a number).
    const std::vector<std::pair<std::string, std::string>> types{
        {"yes", "bool"},  {"min", "int double"}, {"whole", "double"}, {"text", "string"}, {"noBytes", "data"},
        {"list", "list"}, {"noList", "list"},    {"map", "map"},      {"noMap", "map"},   {"missing", ""}};
    for (const auto& [key, expected] : types) {
        EXPECT_EQ(typesOf(defaults, key), expected) << key;
    }
}

TEST(DefaultsTest, AValueOfAnotherTypeReadsAsAbsent) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    writeBytes(path, R"({
        "restEnabled": "false",
        "boolAsNumber": 1,
        "intWithFraction": 60.0,
        "intTooLarge": 18446744073709551615,
        "null": null,
        "badBase64": {"$data": "not base64!"},
        "dataWithMore": {"$data": "", "more": ""},
        "dataAsNumber": {"$data": 1},
        "listWithNumber": ["a", 1],
        "listOfLists": [["a"]],
        "mapWithNumber": {"a": 1},
        "mapWithMarkedKey": {"$other": "x"},
        "mapWithEscapedKey": {"$$other": "x"}
    })");
    const Defaults defaults = open(path);
    const std::vector<std::pair<std::string, std::string>> types{{"restEnabled", "string"},
                                                                 {"boolAsNumber", "int double"},
                                                                 {"intWithFraction", "double"},
                                                                 {"intTooLarge", "double"},
                                                                 {"null", ""},
                                                                 {"badBase64", ""},
                                                                 {"dataWithMore", ""},
                                                                 {"dataAsNumber", ""},
                                                                 {"listWithNumber", ""},
                                                                 {"listOfLists", ""},
                                                                 {"mapWithNumber", ""},
                                                                 {"mapWithMarkedKey", ""},
                                                                 {"mapWithEscapedKey", "map"}};
    for (const auto& [key, expected] : types) {
        EXPECT_EQ(typesOf(defaults, key), expected) << key;
    }
    EXPECT_EQ(defaults.getStringMap("mapWithEscapedKey"),
              (std::map<std::string, std::string>{{"$other", "x"}}));
}

TEST(DefaultsTest, SettingAnotherTypeOrRemovingReplacesTheValue) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    Defaults defaults = open(path);
    defaults.setInt("restIntervalMinutes", 60);
    defaults.setString("restIntervalMinutes", "60");
    EXPECT_EQ(typesOf(defaults, "restIntervalMinutes"), "string");
    EXPECT_EQ(typesOf(open(path), "restIntervalMinutes"), "string");

    defaults.setBool("kept", true);
    defaults.remove("restIntervalMinutes");
    defaults.remove("neverThere");
    EXPECT_EQ(typesOf(defaults, "restIntervalMinutes"), "");
    EXPECT_EQ(decodeFile(path), (json::Json{{"kept", true}}));

    defaults.setDouble("ratio", 0.5);
    defaults.setDouble("ratio", std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(typesOf(defaults, "ratio"), "");
    EXPECT_EQ(decodeFile(path), (json::Json{{"kept", true}}));

    // Text that is not UTF-8 is mended rather than failing the write.
    defaults.setString("name", "caf\xe9");
    EXPECT_EQ(open(path).getString("name"), "caf\xef\xbf\xbd");
}

TEST(DefaultsTest, AMissingFileStartsEmptyAndLoadingWritesNothing) {
    QTemporaryDir tmp;
    const QString folder = tmp.path() + "/config/Halvrick";
    const QString path = folder + "/defaults.json";
    Defaults defaults = open(path);
    EXPECT_EQ(typesOf(defaults, "restEnabled"), "");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_FALSE(QDir(folder).exists());

    defaults.setBool("restEnabled", false);
    EXPECT_EQ(decodeFile(path), (json::Json{{"restEnabled", false}}));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"defaults.json"});
}

struct BrokenFile {
    const char* name;
    std::function<QByteArray()> bytes;
};

class DefaultsBrokenFileTest : public testing::TestWithParam<BrokenFile> {};

TEST_P(DefaultsBrokenFileTest, IsMovedAsideAndNeverOverwritten) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    const QByteArray broken = GetParam().bytes();
    writeBytes(path, broken);

    Defaults defaults = open(path);
    EXPECT_EQ(typesOf(defaults, "restEnabled"), "");
    EXPECT_EQ(readBytes(path + ".unreadable-2026-03-05"), broken);

    defaults.setBool("restEnabled", false);
    EXPECT_EQ(decodeFile(path), (json::Json{{"restEnabled", false}}));
    EXPECT_EQ(readBytes(path + ".unreadable-2026-03-05"), broken);
    EXPECT_EQ(filesSetAside(tmp.path()).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DefaultsBrokenFileTest,
    testing::Values(BrokenFile{"Truncated", [] { return QByteArray(R"({"restEnabled": false, "perso)"); }},
                    BrokenFile{"Garbage", garbageBytes},
                    BrokenFile{"NotAnObject", [] { return QByteArray(R"(["restEnabled", false])"); }},
                    BrokenFile{"EmptyFile", [] { return QByteArray(); }},
                    BrokenFile{"Zeros", [] { return QByteArray(512, '\0'); }}),
    [](const testing::TestParamInfo<BrokenFile>& info) { return std::string(info.param.name); });

TEST(DefaultsTest, ABrokenFileThatCannotBeMovedAsideBlocksEveryWrite) {
    QTemporaryDir tmp;
    // The name leaves room for the lock and the temporary file but not for the suffix of a file set aside.
    const QString path = tmp.path() + "/" + QString(240, 'x') + ".json";
    writeBytes(path, "{\"restEnabled\": tr");
    Defaults defaults = open(path);

    defaults.setBool("restEnabled", false);
    defaults.setInt("restIntervalMinutes", 30);
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(readBytes(path), "{\"restEnabled\": tr");
    // The values hold in memory meanwhile.
    EXPECT_EQ(defaults.getBool("restEnabled"), false);

    // Once the broken file is gone there is nothing left to protect; both changes go out.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(decodeFile(path), (json::Json{{"restEnabled", false}, {"restIntervalMinutes", 30}}));
}

TEST(DefaultsTest, AFailedWriteIsRetriedWithTheNextOne) {
    QTemporaryDir tmp;
    // A regular file where the folder should be stops every write, even for root.
    const QString blocker = tmp.path() + "/config";
    writeBytes(blocker, "not a folder");
    const QString path = blocker + "/Halvrick/defaults.json";
    Defaults defaults = open(path);

    defaults.setBool("restEnabled", false);
    defaults.setString("personality", "gremlin");
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(defaults.getString("personality"), "gremlin");
    EXPECT_EQ(readBytes(blocker), "not a folder");

    ASSERT_TRUE(QFile::remove(blocker));
    defaults.setInt("restIntervalMinutes", 45);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(decodeFile(path),
              (json::Json{{"restEnabled", false}, {"personality", "gremlin"}, {"restIntervalMinutes", 45}}));
}

TEST(DefaultsTest, FullDisk_KeepsTheOldFileAndTheChangeGoesOutWithTheNextWrite) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/Halvrick/defaults.json";
    // Larger than the lock file, which must still be written.
    const std::string note(400, 'n');
    {
        Defaults first = open(path);
        first.batch([&] {
            first.setString("note", note);
            first.setString("personality", "gremlin");
        });
    }
    const QByteArray old = readBytes(path);
    ASSERT_FALSE(old.isEmpty());
    const int status = inChildWithFileSizeLimit(old.size(), [&](const std::function<void()>& lift) {
        Defaults defaults = open(path);
        defaults.setString("personality", "dramatic");
        defaults.setBool("restEnabled", false);
        if (defaults.synchronize() || readBytes(path) != old) {
            return 1;
        }
        lift();
        return defaults.synchronize() ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(decodeFile(path),
              (json::Json{{"note", note}, {"personality", "dramatic"}, {"restEnabled", false}}));
}

// A defaults file that links to /dev/zero would be read until memory runs out.
TEST(DefaultsTest, ALinkToADeviceIsMovedAsideAndTheValuesStartEmpty) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    ASSERT_TRUE(QFile::link("/dev/zero", path));
    const int status = inChildWithin(10, [&] {
        Defaults defaults = open(path);
        if (defaults.getString("personality")) {
            return 1;
        }
        defaults.setString("personality", "deadpan");
        return defaults.synchronize() ? 0 : 2;
    });
    EXPECT_EQ(status, 0) << "-1: the launch hung or ran out of memory";
    EXPECT_EQ(decodeFile(path), (json::Json{{"personality", "deadpan"}}));
    EXPECT_EQ(QFileInfo(path + ".unreadable-2026-03-05").symLinkTarget(), "/dev/zero");
}

TEST(DefaultsTest, ABatchIsWrittenOnceAtItsEnd) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    Defaults defaults = open(path);
    defaults.setBool("restEnabled", true);
    const QByteArray before = readBytes(path);

    defaults.batch([&] {
        defaults.setBool("restEnabled", false);
        defaults.batch([&] { defaults.setInt("restIntervalMinutes", 20); });
        defaults.remove("quietHoursEnabled");
        EXPECT_EQ(readBytes(path), before);
        EXPECT_EQ(defaults.getInt("restIntervalMinutes"), 20);
    });
    EXPECT_EQ(decodeFile(path), (json::Json{{"restEnabled", false}, {"restIntervalMinutes", 20}}));
}

// The settings store and the challenge store share one file: neither may erase the other's keys.
TEST(DefaultsTest, TwoStoresOfOneFileKeepEachOthersKeys) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    Defaults settings = open(path);
    Defaults challenges = open(path);

    settings.batch([&] {
        settings.setBool("restEnabled", false);
        settings.setString("personality", "deadpan");
    });
    challenges.setData("challengeActive", "{\"kind\":\"breaks\"}");
    settings.setInt("restIntervalMinutes", 30);
    challenges.setData("challengeLastResult", "{}");
    challenges.remove("challengeActive");
    settings.setString("personality", "mild");

    const json::Json onDisk = decodeFile(path);
    EXPECT_EQ(onDisk.size(), 4u) << onDisk.dump();
    const Defaults reader = open(path);
    EXPECT_EQ(reader.getBool("restEnabled"), false);
    EXPECT_EQ(reader.getInt("restIntervalMinutes"), 30);
    EXPECT_EQ(reader.getString("personality"), "mild");
    EXPECT_EQ(reader.getData("challengeLastResult"), "{}");
    EXPECT_FALSE(reader.getData("challengeActive"));
    // Each store sees the other's keys once it has written.
    EXPECT_EQ(settings.getData("challengeLastResult"), "{}");
    EXPECT_EQ(challenges.getInt("restIntervalMinutes"), 30);

    // The last writer of a key wins; later writes of other keys leave it alone.
    settings.setInt("shared", 1);
    challenges.setInt("shared", 2);
    settings.setBool("other", true);
    EXPECT_EQ(open(path).getInt("shared"), 2);
    EXPECT_EQ(settings.getInt("shared"), 2);
}

TEST(DefaultsTest, TwoProcessesWritingAtOnceKeepEveryKeyAndADecodableFile) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    constexpr int writes = 100;
    pid_t children[2];
    for (int id = 0; id < 2; ++id) {
        children[id] = fork();
        ASSERT_GE(children[id], 0);
        if (children[id] == 0) {
            Defaults defaults = open(path);
            for (int i = 0; i < writes; ++i) {
                defaults.setInt(std::string("p").append(std::to_string(id)) + "-" + std::to_string(i), i);
                defaults.setInt("last" + std::to_string(id), i);
            }
            _exit(testing_support::synchronizeEventually(defaults) ? 0 : 1);
        }
    }

    // Readers take no lock: whenever the file is there it must decode.
    int running = 2;
    int status[2] = {-1, -1};
    int reads = 0;
    int undecodable = 0;
    while (running > 0) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            try {
                json::object(
                    json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))),
                    "the defaults");
            } catch (const Error&) {
                ++undecodable;
            }
            ++reads;
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

    const Defaults defaults = open(path);
    for (int id = 0; id < 2; ++id) {
        EXPECT_EQ(defaults.getInt("last" + std::to_string(id)), writes - 1);
        for (int i = 0; i < writes; ++i) {
            EXPECT_EQ(defaults.getInt(std::string("p").append(std::to_string(id)) + "-" + std::to_string(i)),
                      i);
        }
    }
    EXPECT_EQ(decodeFile(path).size(), 2u * writes + 2);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"defaults.json"});
}

TEST(DefaultsTest, ALockLeftByAWriterThatDiedDoesNotBlockWrites) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/defaults.json";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(path + ".lock");
        // Leaves without unlocking, as a killed writer would.
        _exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(path + ".lock"));

    Defaults defaults = open(path);
    defaults.setBool("restEnabled", false);
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(decodeFile(path), (json::Json{{"restEnabled", false}}));
}

TEST(DefaultsTest, WithoutAPathTheValuesLiveInMemory) {
    Defaults defaults(std::nullopt, today);
    defaults.setString("personality", "dramatic");
    EXPECT_EQ(defaults.getString("personality"), "dramatic");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_FALSE(defaults.path());
}

TEST(DefaultsTest, StandardPathFollowsXdgConfigHome) {
    QTemporaryDir tmp;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", tmp.path().toUtf8());
    const auto path = Defaults::standardPath();
    if (saved.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    } else {
        qputenv("XDG_CONFIG_HOME", saved);
    }
    EXPECT_EQ(path, tmp.path() + "/Halvrick/defaults.json");
}

} // namespace
} // namespace halvrick
