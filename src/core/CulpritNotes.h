#pragma once

#include "core/AppKey.h"

#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// One-line explanations of why a known kind of application or system process is heavy. Names are
// matched in lower case; both the other platform's names and their Linux counterparts are known.
namespace CulpritNotes {

// One of the operating system's own processes. The culprit list explains it at more length than the
// rows of the system breakdown do; either may have nothing to say about it (empty).
struct SystemProcess {
    std::string_view culpritNote;
    std::string_view breakdownNote;
    // The kernel's own time, which the breakdown explains by the machine's heat.
    bool isKernel = false;
};

// The note for a blamed application or process key; the system key has none.
std::optional<std::string> note(const AppKey& app);
// The culprit note for one of the operating system's own processes, by its whole name in any case.
std::optional<std::string> note(std::string_view forProcess);
// The known process of exactly that name, case included; none for any other name.
const SystemProcess* systemProcess(std::string_view name);

} // namespace CulpritNotes

} // namespace halvrick
