#pragma once

#include <QString>
#include <optional>

namespace halvrick {

// Where rendered cards wait before they are shared or saved. The shared /tmp would let another user
// read a card or plant a file under its predictable name, so cards live in a folder only this user can
// enter: "halvrick" in the user's runtime folder, else "cards" in the application's cache folder.
namespace CardFiles {

// The folder, made (mode 0700) when missing; nothing when neither place is usable. A place that exists
// but is a link, is not a folder or belongs to another user is passed over.
std::optional<QString> folder();
// The same choice between two given places (tests use fixture folders); an empty place is skipped.
std::optional<QString> folder(const QString& runtimeFolder, const QString& cacheFolder);
// `fileName` in folder(); nothing when there is no folder.
std::optional<QString> path(const QString& fileName);

} // namespace CardFiles

} // namespace halvrick
