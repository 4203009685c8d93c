#include "storage/XdgPaths.h"

#include <QFile>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace halvrick::XdgPaths {

namespace {

std::optional<QString> absolute(const std::optional<std::string>& value) {
    if (!value || value->empty() || value->front() != '/') {
        return std::nullopt;
    }
    QString path = QFile::decodeName(QByteArray::fromStdString(*value));
    while (path.size() > 1 && path.endsWith('/')) {
        path.chop(1);
    }
    return path;
}

std::optional<std::string> accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir) {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

std::optional<QString> underHome(const Lookup& environment, const char* variable, const char* fallback) {
    if (auto path = absolute(environment(variable))) {
        return path;
    }
    if (const auto base = home(environment)) {
        return *base == "/" ? QString(fallback) : *base + fallback;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> processVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::optional<QString> home(const Lookup& environment) {
    if (auto path = absolute(environment("HOME"))) {
        return path;
    }
    return absolute(accountHome());
}

void settleHome() {
    if (absolute(processVariable("HOME"))) {
        return;
    }
    if (const auto account = absolute(accountHome())) {
        ::setenv("HOME", QFile::encodeName(*account).constData(), 1);
    }
}

std::optional<QString> configHome(const Lookup& environment) {
    return underHome(environment, "XDG_CONFIG_HOME", "/.config");
}

std::optional<QString> dataHome(const Lookup& environment) {
    return underHome(environment, "XDG_DATA_HOME", "/.local/share");
}

} // namespace halvrick::XdgPaths
