#include "model/LedgerFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <exception>
#include <string_view>

namespace halvrick {

namespace {

// A dangling symlink still occupies the name.
bool occupied(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Far more than one launch a day could ever need; bounds the search when every name is taken.
constexpr int maxAsideCounter = 1000;

} // namespace

LedgerFile::LedgerFile(QString path) : path_(std::move(path)) {}

std::optional<QString> LedgerFile::applicationSupportFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) {
        return std::nullopt;
    }
    return base + "/Halvrick";
}

bool LedgerFile::isSaveDue(std::optional<MonotonicTime> lastSave, MonotonicTime now) {
    if (!lastSave || now < *lastSave) {
        return true;
    }
    return std::chrono::duration<double>(now - *lastSave).count() >= saveInterval;
}

LedgerFile::LoadResult LedgerFile::load(const std::function<void(const json::Json&)>& decode,
                                        const std::string& dayKey) {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!occupied(path_)) {
            return LoadResult::missing;
        }
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            try {
                decode(
                    json::parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
                return LoadResult::loaded;
            } catch (const std::exception&) {
                // Moved aside below: broken or not, the bytes are the user's history.
            }
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
    for (int counter = 1; counter <= maxAsideCounter; ++counter) {
        const QString target = counter == 1 ? base : base + "-" + QString::number(counter);
        if (occupied(target)) {
            continue;
        }
        // QFile::rename never replaces an existing target.
        if (QFile::rename(path_, target)) {
            setAsidePath_ = target;
            pendingAside_.reset();
            return true;
        }
        if (!occupied(target)) {
            return false;
        }
    }
    return false;
}

bool LedgerFile::write(const QByteArray& bytes) {
    if (pendingAside_ && !moveAside()) {
        return false;
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool LedgerFile::write(const json::Json& value) {
    const std::string text = value.dump(-1, ' ', false, json::Json::error_handler_t::replace);
    return write(QByteArray::fromStdString(text));
}

} // namespace halvrick
