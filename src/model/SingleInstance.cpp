#include "model/SingleInstance.h"

#include <QStandardPaths>

namespace halvrick {

SingleInstance::SingleInstance(QString lockPath) : path_(std::move(lockPath)), lock_(path_) {
    // Only a dead holder makes a lock stale, never age: the first instance runs for days, and not every
    // file system backs the lock file with a lock of its own.
    lock_.setStaleLockTime(0);
}

std::optional<QString> SingleInstance::defaultLockPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder + QStringLiteral("/halvrick.lock");
}

SingleInstance::Outcome SingleInstance::tryLock() {
    if (lock_.isLocked()) {
        return Outcome::acquired;
    }
    if (lock_.tryLock(0)) {
        return Outcome::acquired;
    }
    return lock_.error() == QLockFile::LockFailedError ? Outcome::heldByAnother : Outcome::unavailable;
}

} // namespace halvrick
