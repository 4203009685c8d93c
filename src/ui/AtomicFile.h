#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace halvrick {

// A file the user chose, written whole or not at all through the same safe write as the ledgers
// (SafeFile): a full disk or a killed process leaves the user's old file in place, never an empty or
// half-written one. Main thread only.
namespace AtomicFile {

// Makes the parent folder first. Nothing on success, else why it failed; an existing target that is not
// a regular file (a folder, a FIFO) is refused untouched.
std::optional<QString> write(const QString& path, const QByteArray& bytes);

} // namespace AtomicFile

} // namespace halvrick
