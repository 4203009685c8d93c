#include "model/LedgerFile.h"

#include "model/ModelLog.h"
#include "storage/SafeFile.h"
#include "storage/XdgPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <string_view>

namespace halvrick {

namespace {

// A dangling symlink still occupies the name.
bool occupied(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Moves the name itself, whatever it is (a FIFO, a link to a device), and never over an existing target;
// never copies, as QFile::rename may.
bool renameWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    // Not every file system knows RENAME_NOREPLACE.
    return errno == EINVAL && !occupied(to) && ::rename(source.constData(), target.constData()) == 0;
}

// Far more than one launch a day could ever need; bounds the search when every name is taken.
constexpr int maxAsideCounter = 1000;

// Tries `put` on "<base>", then "<base>-2" and so on, skipping names already taken: the name it
// succeeded on, or none once it failed on a name that is still free.
std::optional<QString> onFreeName(const QString& base, const std::function<bool(const QString&)>& put) {
    for (int counter = 1; counter <= maxAsideCounter; ++counter) {
        const QString target = counter == 1 ? base : base + "-" + QString::number(counter);
        if (occupied(target)) {
            continue;
        }
        if (put(target)) {
            return target;
        }
        if (!occupied(target)) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

LedgerFile::LedgerFile(QString path) : path_(std::move(path)) {}

std::optional<QString> LedgerFile::applicationSupportFolder() {
    const auto base = XdgPaths::dataHome();
    if (!base) {
        return std::nullopt;
    }
    return *base + "/Halvrick";
}

bool LedgerFile::isSaveDue(std::optional<MonotonicTime> lastSave, MonotonicTime now) {
    if (!lastSave || now < *lastSave) {
        return true;
    }
    return std::chrono::duration<double>(now - *lastSave).count() >= saveInterval;
}

LedgerFile::LoadResult LedgerFile::load(const std::function<void(const json::Json&)>& decode,
                                        const std::string& dayKey) {
    const SafeFile::ReadResult file = SafeFile::read(path_);
    if (file.status == SafeFile::ReadResult::Status::missing) {
        return LoadResult::missing;
    }
    if (file.status == SafeFile::ReadResult::Status::read) {
        try {
            decode(json::parse(
                std::string_view(file.bytes.constData(), static_cast<std::size_t>(file.bytes.size()))));
            return LoadResult::loaded;
        } catch (const std::exception&) {
            // Moved aside below: broken or not, the bytes are the user's history.
        }
    }
    pendingAside_ = dayKey;
    moveAside();
    return LoadResult::unreadable;
}

bool LedgerFile::moveAside() {
    if (!occupied(path_)) {
        // Gone meanwhile: nothing is left to protect.
        pendingAside_.reset();
        return true;
    }
    const QString base = path_ + ".unreadable-" + QString::fromStdString(*pendingAside_);
    setAsidePath_ =
        onFreeName(base, [this](const QString& target) { return renameWithoutReplacing(path_, target); });
    if (!setAsidePath_) {
        return false;
    }
    qCWarning(modelLog).noquote() << "Could not read" << ModelLog::escaped(path_) << "and moved it aside to"
                                  << ModelLog::escaped(*setAsidePath_);
    pendingAside_.reset();
    return true;
}

void LedgerFile::keepOriginal(const std::string& dayKey) {
    pendingOriginal_ = dayKey;
    writeOriginal();
}

bool LedgerFile::writeOriginal() {
    const SafeFile::ReadResult file = SafeFile::read(path_);
    if (file.status == SafeFile::ReadResult::Status::missing) {
        pendingOriginal_.reset();
        return true;
    }
    if (file.status != SafeFile::ReadResult::Status::read) {
        return false;
    }
    const QString base = path_ + ".original-" + QString::fromStdString(*pendingOriginal_);
    originalPath_ =
        onFreeName(base, [&file](const QString& target) { return SafeFile::write(target, file.bytes); });
    if (!originalPath_) {
        return false;
    }
    qCWarning(modelLog).noquote() << "Mended figures out of range in" << ModelLog::escaped(path_)
                                  << "and kept the file as it was read as"
                                  << ModelLog::escaped(*originalPath_);
    pendingOriginal_.reset();
    return true;
}

bool LedgerFile::write(const QByteArray& bytes) {
    const char* failure = nullptr;
    if (pendingAside_ && !moveAside()) {
        failure = "refused: the unreadable file there could not be moved aside";
    } else if (pendingOriginal_ && !writeOriginal()) {
        failure = "refused: the file as it was read could not be kept first";
    } else {
        QDir().mkpath(QFileInfo(path_).absolutePath());
        if (!SafeFile::write(path_, bytes)) {
            failure = "failed: the file on disk is as it was";
        }
    }
    // A failing save may be tried again on every tick: one warning when it starts failing.
    if (failure && !failing_) {
        qCWarning(modelLog).noquote() << "Saving" << ModelLog::escaped(path_) << failure;
    } else if (!failure && failing_) {
        qCDebug(modelLog).noquote() << "Saving" << ModelLog::escaped(path_) << "works again";
    }
    failing_ = failure != nullptr;
    return !failing_;
}

bool LedgerFile::write(const json::Json& value) {
    const std::string text = value.dump(-1, ' ', false, json::Json::error_handler_t::replace);
    return write(QByteArray::fromStdString(text));
}

} // namespace halvrick
