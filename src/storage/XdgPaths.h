#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace halvrick {

// The user's base folders by the XDG rules, looked up the same way everywhere: a variable that is unset,
// empty or relative is ignored (a relative one would move the user's data with the working folder), and
// an unset HOME is taken from the password database, never "/".
namespace XdgPaths {

// Reads one environment variable; nothing when unset.
using Lookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> processVariable(const char* name);

// The home folder; nothing when neither HOME nor the password database names an absolute one.
std::optional<QString> home(const Lookup& environment = processVariable);
// Sets HOME to the account's home when it is unset, empty or relative, so that Qt and every other reader
// of HOME agree with home(). Call before any thread starts.
void settleHome();
// $XDG_CONFIG_HOME, else ~/.config.
std::optional<QString> configHome(const Lookup& environment = processVariable);
// $XDG_DATA_HOME, else ~/.local/share.
std::optional<QString> dataHome(const Lookup& environment = processVariable);

} // namespace XdgPaths

} // namespace halvrick
