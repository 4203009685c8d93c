#include "core/PSOutput.h"

#include "core/MendedUTF8.h"

#include "core/AppAttribution.h"

#include <charconv>
#include <cmath>

namespace halvrick {

namespace {

bool isSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimSpacesAndTabs(std::string_view text) {
    while (!text.empty() && isSpaceOrTab(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpaceOrTab(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The next space-free word, skipping leading spaces; `rest` starts after the space that ended it.
std::optional<std::string_view> nextWord(std::string_view& rest) {
    const std::size_t start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t end = rest.find(' ', start);
    const std::string_view word = rest.substr(start, end == std::string_view::npos ? end : end - start);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return word;
}

// Plain decimals only: a sign, an exponent, "inf" or "nan" are no CPU time (NaN would pass any
// "not negative" test and poison every share).
std::optional<double> parseDecimal(std::string_view text) {
    bool sawDigit = false;
    bool sawPoint = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            sawDigit = true;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            return std::nullopt;
        }
    }
    if (!sawDigit) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> parsePID(std::string_view text) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<PSRow> parseLine(std::string_view line) {
    std::string_view rest = line;
    const auto pidWord = nextWord(rest);
    const auto timeWord = pidWord ? nextWord(rest) : std::nullopt;
    if (!timeWord) {
        return std::nullopt;
    }
    const std::string_view command = trimSpacesAndTabs(rest);
    const auto pid = parsePID(*pidWord);
    const auto cpuSeconds = PSOutput::parseCPUTime(*timeWord);
    if (!pid || !cpuSeconds || command.empty()) {
        return std::nullopt;
    }
    return PSRow{*pid, *cpuSeconds, std::string(command)};
}

} // namespace

std::string PSRow::name() const {
    const std::string_view text = command;
    if (text.starts_with('/')) {
        return AppAttribution::lastComponent(text);
    }
    return std::string(text.substr(0, text.find('/')));
}

namespace PSOutput {

std::vector<PSRow> parse(std::string_view text) {
    std::vector<PSRow> rows;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        if (line.empty()) {
            continue;
        }
        if (auto row = parseLine(mendedUTF8(line))) {
            rows.push_back(std::move(*row));
        }
    }
    return rows;
}

std::optional<double> parseCPUTime(std::string_view text) {
    double days = 0;
    if (const std::size_t hyphen = text.find('-'); hyphen != std::string_view::npos) {
        const auto parsedDays = parseDecimal(text.substr(0, hyphen));
        if (!parsedDays) {
            return std::nullopt;
        }
        days = *parsedDays;
        text = text.substr(hyphen + 1);
    }
    double value = 0;
    int pieces = 0;
    while (true) {
        const std::size_t colon = text.find(':');
        if (++pieces > 3) {
            return std::nullopt;
        }
        const auto piece = parseDecimal(text.substr(0, colon));
        if (!piece) {
            return std::nullopt;
        }
        value = value * 60 + *piece;
        if (colon == std::string_view::npos) {
            break;
        }
        text = text.substr(colon + 1);
    }
    const double seconds = days * 86'400 + value;
    if (!std::isfinite(seconds)) {
        return std::nullopt;
    }
    return seconds;
}

} // namespace PSOutput

} // namespace halvrick
