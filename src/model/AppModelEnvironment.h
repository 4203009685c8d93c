#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// The development switches the app model reads from the environment when it is made.
namespace AppModelEnvironment {

// The value of a variable, empty text included; nothing when it is not set.
using Lookup = std::function<std::optional<std::string>(const char* key)>;

std::optional<std::string> processVariable(const char* key);

// HALVRICK_LOG is set, to any value.
bool logsSamples(const Lookup& environment);

// HALVRICK_REST_MINUTES in seconds, when it holds a finite number of minutes greater than 0.
std::optional<double> debugRestInterval(const Lookup& environment);

// The whole text as a decimal number, in any locale: no blanks, signs or trailing characters.
std::optional<double> parseMinutes(std::string_view text);

} // namespace AppModelEnvironment

} // namespace halvrick
