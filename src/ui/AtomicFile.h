#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace halvrick {

// Writes a whole file or nothing: the bytes go to a temporary file beside the target, which replaces the
// target only once every byte is written and flushed. A full disk or a killed process therefore leaves
// the user's old file in place, never an empty or half-written one. Main thread only.
namespace AtomicFile {

// Makes the parent folder first. Nothing on success, else why it failed; an existing target that is not
// a regular file (a folder, a FIFO) is refused untouched.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

} // namespace AtomicFile

} // namespace halvrick
