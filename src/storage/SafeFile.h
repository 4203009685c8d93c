#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace halvrick {

// The one way the user's files are read and replaced. A write counts only once its bytes are on disk:
// they go to a temporary file beside the target, "<name>.~" and six of [0-9a-z], which is flushed with
// fdatasync and only then renamed over the target, so a full disk or a write limit leaves the old file
// whole. Reads take regular files only: a FIFO, a device or a link to one would block or never end.
namespace SafeFile {

// Far beyond any ledger or settings file; larger is not ours to load whole.
inline constexpr std::int64_t defaultReadLimit = 64 * 1024 * 1024;

struct ReadResult {
    enum class Status {
        read,
        // Nothing by that name.
        missing,
        // Something is there but is no regular file, is larger than the limit, or cannot be read.
        unreadable,
    };
    Status status = Status::missing;
    QByteArray bytes;
};

// Never waits: the file is opened without blocking and checked before a byte is read.
ReadResult read(const QString& path, std::int64_t limit = defaultReadLimit);

// Replaces `path` whole with `bytes`, writing through a symlink to its target. False on any failure, and
// the file on disk is then as it was. The folder must exist. A new file gets the usual permissions; a
// replaced one keeps its own.
bool write(const QString& path, const QByteArray& bytes);

// A temporary file younger than this may belong to a write still under way, in this process or another.
inline constexpr std::chrono::seconds sweepAge{60};

// Removes the temporary files that writes cut short (a killed process) left in `folder`: regular files of
// this user, named exactly as write names them, with a single link and untouched for `sweepAge`. Nothing
// else goes, and links are never followed. Returns how many were removed.
int sweepTemporaries(const QString& folder);

} // namespace SafeFile

} // namespace halvrick
