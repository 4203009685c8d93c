#pragma once

#include "core/AppKey.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace halvrick {

// Maps a running process to whoever is blamed for it. Pure: paths and names are handed in.
namespace AppAttribution {

// Process names that always count as the operating system (exact, case-sensitive match).
const std::unordered_set<std::string>& systemProcessNames();

AppKey classify(const std::optional<std::string>& executablePath, const std::optional<std::string>& processName);

// The path prefix ending at the first (outermost) component that ends in ".app", if any.
std::optional<std::string> outermostAppBundlePath(std::string_view path);

// The last non-empty component between "/" separators; the whole input when it has none.
std::string lastComponent(std::string_view path);

} // namespace AppAttribution

} // namespace halvrick
