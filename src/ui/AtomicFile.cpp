#include "ui/AtomicFile.h"

#include "core/DisplayText.h"
#include "storage/SafeFile.h"
#include "ui/UiLog.h"

#include <QDir>
#include <QFileInfo>

namespace halvrick::AtomicFile {

namespace {

std::optional<QString> tryWrite(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        return QStringLiteral("Not a regular file: %1").arg(path);
    }
    const QString parent = target.absolutePath();
    if (!QDir().mkpath(parent)) {
        return QStringLiteral("Cannot create the folder %1").arg(parent);
    }
    // Every export passes here: what an export cut short left in this folder goes with the next one.
    SafeFile::sweepTemporaries(parent);
    if (!SafeFile::write(path, bytes)) {
        return QStringLiteral("The file could not be written to disk: %1").arg(path);
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    std::optional<QString> failure = tryWrite(path, bytes);
    if (failure) {
        qCWarning(uiLog).noquote() << QString::fromStdString(
            DisplayText::escapedForLog(failure->toStdString()));
    }
    return failure;
}

} // namespace halvrick::AtomicFile
