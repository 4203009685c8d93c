#include "model/AppModelEnvironment.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace halvrick::AppModelEnvironment {

std::optional<std::string> processVariable(const char* key) {
    const char* value = std::getenv(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

bool logsSamples(const Lookup& environment) {
    return environment("HALVRICK_LOG").has_value();
}

std::optional<double> debugRestInterval(const Lookup& environment) {
    const std::optional<std::string> text = environment("HALVRICK_REST_MINUTES");
    if (!text) {
        return std::nullopt;
    }
    const std::optional<double> minutes = parseMinutes(*text);
    if (!minutes || *minutes <= 0) {
        return std::nullopt;
    }
    // Infinity or NaN would reach the coach's interval and every text that rounds it.
    const double seconds = *minutes * 60;
    return std::isfinite(seconds) ? std::optional(seconds) : std::nullopt;
}

std::optional<double> parseMinutes(std::string_view text) {
    double value = 0;
    // from_chars ignores the locale: a German LC_NUMERIC must not turn "1.5" into an error.
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace halvrick::AppModelEnvironment
