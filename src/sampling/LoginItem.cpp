#include "sampling/LoginItem.h"

#include "storage/XdgPaths.h"

#include <QByteArray>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace halvrick {

namespace fs = std::filesystem;

namespace {

constexpr const char* displayName = "Halvrick";

std::string ownExecutable() {
    std::error_code ec;
    std::string path = fs::read_symlink("/proc/self/exe", ec).string();
    // The program file was replaced while running, as by an upgrade: the new one has the old name.
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted)) {
        path.erase(path.size() - deleted.size());
    }
    return path;
}

std::string userConfigHome() {
    return XdgPaths::configHome().value_or(QString()).toStdString();
}

std::vector<std::string> systemConfigDirs() {
    std::vector<std::string> dirs;
    const QString qtUserHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        // Qt takes a relative XDG_CONFIG_HOME as it is; the user's own folder is not a system one either.
        if (dir.startsWith('/') && dir != qtUserHome && dir.toStdString() != userConfigHome()) {
            dirs.push_back(dir.toStdString());
        }
    }
    return dirs;
}

// Messages are shown on one line, and paths may hold line breaks.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

bool isPlain(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
           c == '.' || c == '_' || c == '+' || c == '-';
}

// Whether an autostart entry, read from its [Desktop Entry] group, starts the program.
bool startsAtLogin(const std::string& file) {
    std::ifstream in(file);
    if (!in) {
        return false;
    }
    auto trimmed = [](std::string_view text) {
        const auto first = text.find_first_not_of(" \t");
        const auto last = text.find_last_not_of(" \t\r");
        return first == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1);
    };
    bool inMainGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view text = trimmed(line);
        if (text.starts_with('[')) {
            inMainGroup = text == "[Desktop Entry]";
            continue;
        }
        const auto equals = text.find('=');
        if (!inMainGroup || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(text.substr(0, equals));
        const std::string_view value = trimmed(text.substr(equals + 1));
        if ((key == "Hidden" && value == "true") ||
            (key == "X-GNOME-Autostart-enabled" && value == "false")) {
            return false;
        }
    }
    return true;
}

} // namespace

LoginItem::LoginItem() : LoginItem(AppIdentity(), userConfigHome(), systemConfigDirs(), ownExecutable()) {}

LoginItem::LoginItem(AppIdentity identity, std::string configHome, std::vector<std::string> configDirs,
                     std::string executablePath)
    : identity_(std::move(identity)), configHome_(std::move(configHome)), configDirs_(std::move(configDirs)),
      executablePath_(std::move(executablePath)) {}

std::string LoginItem::execValue(std::string_view path) {
    const bool plain = !path.empty() && std::all_of(path.begin(), path.end(), isPlain);
    std::string argument;
    if (plain) {
        argument = path;
    } else {
        argument = "\"";
        for (const char c : path) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                argument += '\\';
            }
            argument += c;
        }
        argument += '"';
    }
    std::string value;
    for (const char c : argument) {
        switch (c) {
        case '%':
            value += "%%";
            break;
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

std::string LoginItem::userFile() const {
    return configHome_ + "/autostart/" + *identity_.identifier() + ".desktop";
}

std::optional<std::string> LoginItem::systemFile() const {
    for (const std::string& dir : configDirs_) {
        const std::string file = dir + "/autostart/" + *identity_.identifier() + ".desktop";
        std::error_code ec;
        if (fs::is_regular_file(file, ec)) {
            return file;
        }
    }
    return std::nullopt;
}

std::optional<std::string> LoginItem::setEnabled(bool enabled) {
    if (!identity_.hasIdentifier()) {
        return developmentBuildMessage;
    }
    if (enabled) {
        if (executablePath_.empty()) {
            return "Could not find the program's own file.";
        }
        return write(std::string("[Desktop Entry]\n") + "Type=Application\n" + "Name=" + displayName + "\n" +
                     "Exec=" + execValue(executablePath_) + "\n" + "Icon=" + *identity_.identifier() + "\n" +
                     "Terminal=false\n" + "X-GNOME-Autostart-enabled=true\n");
    }
    // The system's entry cannot be removed, only overruled.
    if (systemFile()) {
        return write(std::string("[Desktop Entry]\n") + "Type=Application\n" + "Name=" + displayName + "\n" +
                     "Hidden=true\n");
    }
    std::error_code ec;
    fs::remove(userFile(), ec);
    if (ec) {
        return oneLine("Could not remove " + userFile() + ": " + ec.message());
    }
    return std::nullopt;
}

std::optional<std::string> LoginItem::write(const std::string& content) const {
    const std::string folder = configHome_ + "/autostart";
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        return oneLine("Could not create the folder " + folder + ".");
    }
    QSaveFile file(QString::fromStdString(userFile()));
    const QByteArray bytes = QByteArray::fromStdString(content);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return oneLine("Could not write " + userFile() + ": " + file.errorString().toStdString());
    }
    return std::nullopt;
}

bool LoginItem::isEnabled() const {
    if (!identity_.hasIdentifier()) {
        return false;
    }
    // The user's entry, even a broken one, hides the system's.
    std::error_code ec;
    if (fs::exists(userFile(), ec)) {
        return startsAtLogin(userFile());
    }
    const std::optional<std::string> system = systemFile();
    return system && startsAtLogin(*system);
}

} // namespace halvrick
