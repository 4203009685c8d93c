#include "core/Bytes.h"

#include <array>
#include <charconv>
#include <string_view>

namespace halvrick {

namespace {

constexpr std::array<std::string_view, 5> units{"B", "KB", "MB", "GB", "TB"};
constexpr std::string_view minusSign = "\u2212";

// to_chars, unlike printf, ignores the locale that the application object installs.
std::string scaled(std::uint64_t bytes, double base) {
    if (bytes == 0) {
        return "0 B";
    }
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= base && unit < units.size() - 1) {
        value /= base;
        ++unit;
    }
    // The decimals rule looks at the value before rounding: 99.95 KB prints as "100.0 KB".
    const int decimals = value >= 100 ? 0 : 1;
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    text += ' ';
    text += units[unit];
    return text;
}

} // namespace

std::string Bytes::memory(std::uint64_t bytes) {
    return scaled(bytes, 1024);
}

std::string Bytes::storage(std::uint64_t bytes) {
    return scaled(bytes, 1000);
}

std::string Bytes::change(std::int64_t delta, bool storage) {
    if (delta == 0) {
        return "no change";
    }
    // Negating in unsigned arithmetic keeps the most negative delta exact.
    const std::uint64_t magnitude =
        delta > 0 ? static_cast<std::uint64_t>(delta) : std::uint64_t{0} - static_cast<std::uint64_t>(delta);
    const std::string sign = delta > 0 ? "+" : std::string(minusSign);
    return sign + scaled(magnitude, storage ? 1000 : 1024);
}

} // namespace halvrick
