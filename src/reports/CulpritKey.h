#pragma once

#include "core/AppKey.h"

#include <string>

namespace halvrick {

// The key whose icon stands beside a culprit of the ledger, which keeps only its id and name: an id
// that is a path is an application's desktop entry, the system's own id is the system, and any other
// id is a bare process.
AppKey culpritKey(const std::string& id, const std::string& name);

} // namespace halvrick
