#pragma once

#include "core/AppKey.h"

#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// One-line explanations of why a known kind of application or system process is heavy. Names are
// matched in lower case; both the other platform's names and their Linux counterparts are known.
namespace CulpritNotes {

// The note for a blamed application or process key; the system key has none.
std::optional<std::string> note(const AppKey& app);
// The note for one of the operating system's own processes, by exact process name.
std::optional<std::string> note(std::string_view forProcess);

} // namespace CulpritNotes

} // namespace halvrick
