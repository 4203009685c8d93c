#include "app/SingleInstance.h"

#include "model/LedgerFile.h"

#include <QDir>

namespace halvrick {

SingleInstance::SingleInstance(QString lockPath) : path_(std::move(lockPath)), lock_(path_) {
    // Only a dead holder makes a lock stale, never age: the first instance runs for days, and not every
    // file system backs the lock file with a lock of its own.
    lock_.setStaleLockTime(0);
}

std::optional<QString> SingleInstance::defaultLockPath() {
    const auto folder = LedgerFile::applicationSupportFolder();
    if (!folder) {
        return std::nullopt;
    }
    // The lock must exist before the ledgers are read.
    QDir().mkpath(*folder);
    return *folder + QStringLiteral("/halvrick.lock");
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
