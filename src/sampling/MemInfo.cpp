#include "sampling/MemInfo.h"

#include <charconv>

namespace halvrick {

namespace {

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// "Name:   1234 kB" -> bytes; a figure without a unit is a plain count.
std::optional<std::uint64_t> parseFigure(std::string_view value) {
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error != std::errc() || end == value.data()) {
        return std::nullopt;
    }
    const std::string_view unit = trimmed(value.substr(static_cast<std::size_t>(end - value.data())));
    if (unit.empty()) {
        return number;
    }
    if (unit != "kB" || number > UINT64_MAX / 1024) {
        return std::nullopt;
    }
    return number * 1024;
}

std::uint64_t saturatingSubtract(std::uint64_t a, std::uint64_t b) {
    return a > b ? a - b : 0;
}

} // namespace

std::optional<MemInfo> MemInfo::parse(std::string_view text) {
    MemInfo info;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            continue;
        }
        if (const auto figure = parseFigure(trimmed(line.substr(colon + 1)))) {
            info.bytes_.insert_or_assign(std::string(line.substr(0, colon)), *figure);
        }
    }
    if (info.fieldOrZero("MemTotal") == 0 || (!info.field("MemAvailable") && !info.field("MemFree"))) {
        return std::nullopt;
    }
    return info;
}

std::optional<std::uint64_t> MemInfo::field(std::string_view name) const {
    const auto it = bytes_.find(name);
    if (it == bytes_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::uint64_t MemInfo::available() const {
    if (const auto available = field("MemAvailable")) {
        return *available;
    }
    return saturatingSubtract(fieldOrZero("MemFree") + fieldOrZero("Buffers") + fieldOrZero("Cached") +
                                  fieldOrZero("SReclaimable"),
                              fieldOrZero("Shmem"));
}

std::uint64_t MemInfo::used() const {
    return saturatingSubtract(total(), available());
}

std::uint64_t MemInfo::cached() const {
    return saturatingSubtract(fieldOrZero("Buffers") + fieldOrZero("Cached") + fieldOrZero("SReclaimable"),
                              fieldOrZero("Shmem"));
}

std::optional<std::uint64_t> MemInfo::swapUsed() const {
    const auto total = field("SwapTotal");
    const auto free = field("SwapFree");
    if (!total || !free) {
        return std::nullopt;
    }
    return saturatingSubtract(*total, *free);
}

} // namespace halvrick
