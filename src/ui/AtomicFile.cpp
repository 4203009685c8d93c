#include "ui/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <unistd.h>

namespace halvrick::AtomicFile {

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    if (target.exists() && !target.isFile()) {
        return QStringLiteral("Not a regular file: %1").arg(path);
    }
    const QString parent = target.absolutePath();
    if (!QDir().mkpath(parent)) {
        return QStringLiteral("Cannot create the folder %1").arg(parent);
    }
    QSaveFile file(path);
    // Unbuffered: a buffered QFileDevice takes a short write at a full disk for success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error.isEmpty() ? QStringLiteral("The disk is full") : error;
    }
    // QSaveFile's own sync ignores errors; a disk that fills up on the sync must not get renamed over
    // the user's file.
    if (::fdatasync(file.handle()) != 0) {
        file.cancelWriting();
        return QStringLiteral("The file could not be written to disk");
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

} // namespace halvrick::AtomicFile
