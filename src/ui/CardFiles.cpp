#include "ui/CardFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace halvrick::CardFiles {

namespace {

constexpr QFileDevice::Permissions ownerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

std::optional<QString> privateFolder(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        if (!QDir().mkpath(path)) {
            return std::nullopt;
        }
        info.refresh();
    }
    if (info.isSymLink() || !info.isDir() || info.ownerId() != ::getuid()) {
        return std::nullopt;
    }
    if (!QFile::setPermissions(path, ownerOnly)) {
        return std::nullopt;
    }
    return info.absoluteFilePath();
}

} // namespace

std::optional<QString> folder(const QString& runtimeFolder, const QString& cacheFolder) {
    const QString runtime = runtimeFolder.isEmpty() ? QString() : runtimeFolder + QStringLiteral("/halvrick");
    const QString cache = cacheFolder.isEmpty() ? QString() : cacheFolder + QStringLiteral("/cards");
    if (auto found = privateFolder(runtime)) {
        return found;
    }
    return privateFolder(cache);
}

std::optional<QString> folder() {
    // Qt's runtime location falls back to a folder under /tmp of its own when XDG_RUNTIME_DIR is unset;
    // only the real one is taken.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return folder(runtime.isEmpty() ? QString()
                                    : QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                  QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
}

std::optional<QString> path(const QString& fileName) {
    const auto found = folder();
    if (!found) {
        return std::nullopt;
    }
    return *found + QLatin1Char('/') + fileName;
}

} // namespace halvrick::CardFiles
