#include "sampling/LoginItem.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace halvrick {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "halvrick-login-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

private:
    fs::path path_;
};

void writeFile(const std::string& path, const std::string& content) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << content;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

const std::string enabledEntry = "[Desktop Entry]\n"
                                 "Type=Application\n"
                                 "Name=Halvrick\n"
                                 "Exec=\"/opt/My Apps/halvrick\"\n"
                                 "Icon=halvrick\n"
                                 "Terminal=false\n"
                                 "X-GNOME-Autostart-enabled=true\n";

const std::string hiddenEntry = "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Name=Halvrick\n"
                                "Hidden=true\n";

struct ExecCase {
    const char* what;
    std::string path;
    std::string exec;
};

TEST(LoginItemTest, ExecValueRunsExactlyTheGivenPath) {
    const std::vector<ExecCase> cases{
        {"plain", "/usr/bin/halvrick", "/usr/bin/halvrick"},
        {"plain punctuation", "/opt/halvrick-1.0/bin/halvrick_x+y", "/opt/halvrick-1.0/bin/halvrick_x+y"},
        {"space", "/opt/My Apps/halvrick", R"("/opt/My Apps/halvrick")"},
        {"single quote", "/home/o'neil/halvrick", R"("/home/o'neil/halvrick")"},
        {"double quote", R"(/tmp/a"b/halvrick)", R"("/tmp/a\\"b/halvrick")"},
        {"dollar", "/tmp/$HOME/halvrick", R"("/tmp/\\$HOME/halvrick")"},
        {"backtick", "/tmp/`id`/halvrick", R"("/tmp/\\`id\\`/halvrick")"},
        {"backslash", R"(/tmp/back\slash/halvrick)", R"("/tmp/back\\\\slash/halvrick")"},
        {"percent", "/tmp/100%/halvrick", R"("/tmp/100%%/halvrick")"},
        {"field code", "/tmp/%f/halvrick", R"("/tmp/%%f/halvrick")"},
        {"shell characters", "/tmp/a;b&c|d>e/halvrick", R"("/tmp/a;b&c|d>e/halvrick")"},
        {"tab and line break", "/tmp/a\tb\nc/halvrick", R"("/tmp/a\tb\nc/halvrick")"},
        {"not ascii", "/home/zo\xc3\xab/halvrick", "\"/home/zo\xc3\xab/halvrick\""},
    };
    for (const ExecCase& c : cases) {
        EXPECT_EQ(LoginItem::execValue(c.path), c.exec) << c.what;
    }
}

TEST(LoginItemTest, EnablingWritesTheUserAutostartEntry) {
    TempFolder temp;
    const std::string configHome = temp / "home/.config";
    LoginItem item(AppIdentity(), configHome, {temp / "etc/xdg"}, "/opt/My Apps/halvrick");
    EXPECT_FALSE(item.isEnabled());

    EXPECT_EQ(item.setEnabled(true), std::nullopt);
    EXPECT_EQ(readFile(configHome + "/autostart/halvrick.desktop"), enabledEntry);
    EXPECT_TRUE(item.isEnabled());
}

TEST(LoginItemTest, EnablingReplacesAnEarlierEntryWholeAndLeavesNoTemporaryFile) {
    TempFolder temp;
    const std::string file = temp / "config/autostart/halvrick.desktop";
    // As a desktop's own switch leaves it when the user turned autostart off there.
    writeFile(
        file,
        "[Desktop Entry]\nType=Application\nName=Halvrick\nExec=/old/halvrick --with-a-much-longer-line\n"
        "X-GNOME-Autostart-enabled=false\n");
    LoginItem item(AppIdentity(), temp / "config", {}, "/opt/My Apps/halvrick");
    EXPECT_FALSE(item.isEnabled());

    EXPECT_EQ(item.setEnabled(true), std::nullopt);
    EXPECT_EQ(readFile(file), enabledEntry);
    EXPECT_EQ(entries(temp / "config/autostart"), std::vector<std::string>{"halvrick.desktop"});
    EXPECT_TRUE(item.isEnabled());
}

TEST(LoginItemTest, DisablingRemovesTheEntryAndMayBeRepeated) {
    TempFolder temp;
    LoginItem item(AppIdentity(), temp / "config", {temp / "xdg"}, "/usr/bin/halvrick");
    ASSERT_EQ(item.setEnabled(true), std::nullopt);

    EXPECT_EQ(item.setEnabled(false), std::nullopt);
    EXPECT_FALSE(fs::exists(temp / "config/autostart/halvrick.desktop"));
    EXPECT_FALSE(item.isEnabled());
    EXPECT_EQ(item.setEnabled(false), std::nullopt);

    LoginItem neverEnabled(AppIdentity(), temp / "fresh", {}, "/usr/bin/halvrick");
    EXPECT_EQ(neverEnabled.setEnabled(false), std::nullopt);
    EXPECT_FALSE(fs::exists(temp / "fresh"));
}

TEST(LoginItemTest, SystemEntryIsOverruledByAHiddenUserEntry) {
    TempFolder temp;
    const std::string userFile = temp / "config/autostart/halvrick.desktop";
    writeFile(temp / "xdg-b/autostart/halvrick.desktop",
              "[Desktop Entry]\nType=Application\nName=Halvrick\nExec=/usr/bin/halvrick\n");
    LoginItem item(AppIdentity(), temp / "config", {temp / "xdg-a", temp / "xdg-b"}, "/usr/bin/halvrick");
    EXPECT_TRUE(item.isEnabled());

    EXPECT_EQ(item.setEnabled(false), std::nullopt);
    EXPECT_EQ(readFile(userFile), hiddenEntry);
    EXPECT_FALSE(item.isEnabled());
    EXPECT_TRUE(fs::exists(temp / "xdg-b/autostart/halvrick.desktop"));

    EXPECT_EQ(item.setEnabled(true), std::nullopt);
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(readFile(userFile).find("Hidden"), std::string::npos);
}

TEST(LoginItemTest, SystemEntryTurnedOffDoesNotCountAsEnabled) {
    TempFolder temp;
    writeFile(temp / "xdg/autostart/halvrick.desktop",
              "[Desktop Entry]\nType=Application\nName=Halvrick\nExec=/usr/bin/halvrick\n"
              "X-GNOME-Autostart-enabled = false\n[Desktop Action Open]\nHidden=false\n");
    LoginItem item(AppIdentity(), temp / "config", {temp / "xdg"}, "/usr/bin/halvrick");
    EXPECT_FALSE(item.isEnabled());
}

TEST(LoginItemTest, WithoutAnIdentifierNothingIsTouched) {
    TempFolder temp;
    const std::string userFile = temp / "config/autostart/halvrick.desktop";
    writeFile(userFile, enabledEntry);
    writeFile(temp / "xdg/autostart/halvrick.desktop", enabledEntry);
    LoginItem item(AppIdentity::withoutIdentifier(), temp / "config", {temp / "xdg"}, "/usr/bin/halvrick");

    EXPECT_EQ(item.setEnabled(false), std::string(LoginItem::developmentBuildMessage));
    EXPECT_EQ(readFile(userFile), enabledEntry);
    EXPECT_EQ(item.setEnabled(true), std::string(LoginItem::developmentBuildMessage));
    EXPECT_EQ(readFile(userFile), enabledEntry);
    EXPECT_FALSE(item.isEnabled());

    LoginItem fresh(AppIdentity::withoutIdentifier(), temp / "fresh", {}, "/usr/bin/halvrick");
    EXPECT_EQ(fresh.setEnabled(true), std::string(LoginItem::developmentBuildMessage));
    EXPECT_FALSE(fs::exists(temp / "fresh"));
}

struct FailureCase {
    const char* what;
    // Prepares the folder and returns the configuration folder to use.
    std::string (*prepare)(const TempFolder&);
    bool enable;
    std::string messageStart;
};

TEST(LoginItemTest, FailuresAreReportedInOneLine) {
    const std::vector<FailureCase> cases{
        {"configuration folder under a regular file",
         [](const TempFolder& temp) {
             writeFile(temp / "plain\nfile", "not a folder");
             return temp / "plain\nfile/config";
         },
         true, "Could not create the folder "},
        {"entry in the way as a folder",
         [](const TempFolder& temp) {
             fs::create_directories(temp / "config/autostart/halvrick.desktop");
             return temp / "config";
         },
         true, "Could not write "},
        {"entry in the way as a folder with content",
         [](const TempFolder& temp) {
             writeFile(temp / "config/autostart/halvrick.desktop/inside", "x");
             return temp / "config";
         },
         false, "Could not remove "},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder temp;
        LoginItem item(AppIdentity(), c.prepare(temp), {}, "/usr/bin/halvrick");
        const std::optional<std::string> message = item.setEnabled(c.enable);
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(message->rfind(c.messageStart, 0), 0u) << *message;
        EXPECT_EQ(message->find('\n'), std::string::npos) << *message;
    }
}

TEST(LoginItemTest, DefaultsFollowTheDesktopsConfigurationFolders) {
    TempFolder temp;
    const char* savedHome = std::getenv("XDG_CONFIG_HOME");
    const char* savedDirs = std::getenv("XDG_CONFIG_DIRS");
    const std::optional<std::string> home = savedHome ? std::optional<std::string>(savedHome) : std::nullopt;
    const std::optional<std::string> dirs = savedDirs ? std::optional<std::string>(savedDirs) : std::nullopt;
    setenv("XDG_CONFIG_HOME", (temp / "config").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (temp / "xdg").c_str(), 1);
    writeFile(temp / "xdg/autostart/halvrick.desktop", enabledEntry);

    LoginItem item;
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(item.setEnabled(false), std::nullopt);
    EXPECT_EQ(readFile(temp / "config/autostart/halvrick.desktop"), hiddenEntry);
    EXPECT_EQ(item.setEnabled(true), std::nullopt);
    const std::string exec =
        "Exec=" + LoginItem::execValue(fs::read_symlink("/proc/self/exe").string()) + "\n";
    EXPECT_NE(readFile(temp / "config/autostart/halvrick.desktop").find(exec), std::string::npos);

    home ? setenv("XDG_CONFIG_HOME", home->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    dirs ? setenv("XDG_CONFIG_DIRS", dirs->c_str(), 1) : unsetenv("XDG_CONFIG_DIRS");
}

} // namespace
} // namespace halvrick
