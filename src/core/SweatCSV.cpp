#include "core/SweatCSV.h"

#include <charconv>

namespace halvrick::SweatCSV {

namespace {

void appendMinutes(std::string& out, double seconds) {
    // to_chars never looks at the locale.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, seconds / 60, std::chars_format::fixed, 1);
    out.append(buffer, result.ptr);
    out += ',';
}

} // namespace

std::string text(const std::vector<DailyTotals>& days) {
    std::string out(header);
    out += '\n';
    for (const DailyTotals& row : days) {
        out += row.day;
        out += ',';
        appendMinutes(out, row.sweatingSeconds);
        appendMinutes(out, row.meltdownSeconds);
        appendMinutes(out, row.activeSeconds);
        out += std::to_string(row.promptsShown);
        out += ',';
        out += std::to_string(row.breaksTaken);
        out += '\n';
    }
    return out;
}

} // namespace halvrick::SweatCSV
