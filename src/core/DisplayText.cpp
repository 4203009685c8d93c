#include "core/DisplayText.h"

#include "core/MendedUTF8.h"

#include <cstdio>
#include <functional>

namespace halvrick::DisplayText {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Zero-width characters that could hide one name inside another; the joiners stay, emoji need them.
bool isInvisible(char32_t c) {
    return c == 0x200B || (c >= 0x2060 && c <= 0x2064) || c == 0xFEFF;
}

// Calls `visit` with each character of mended UTF-8 and the bytes that spell it.
void forEachCharacter(const std::string& text, const std::function<void(char32_t, std::string_view)>& visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (std::size_t k = 1; k < length; ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        visit(c, std::string_view(text).substr(i, length));
        i += length;
    }
}

} // namespace

std::string neutralised(std::string_view text) {
    const std::string mended = mendedUTF8(text);
    std::string out;
    out.reserve(mended.size());
    forEachCharacter(mended, [&out](char32_t c, std::string_view bytes) {
        if (isControl(c)) {
            out += replacement;
        } else if (!isBidiControl(c) && !isInvisible(c)) {
            out += bytes;
        }
    });
    return out;
}

std::string escapedForLog(std::string_view text) {
    const std::string mended = mendedUTF8(text);
    std::string out;
    out.reserve(mended.size());
    forEachCharacter(mended, [&out](char32_t c, std::string_view bytes) {
        char escape[16];
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x80 && isControl(c)) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
            out += escape;
        } else if (isControl(c) || isBidiControl(c)) {
            std::snprintf(escape, sizeof escape, "\\u{%04X}", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += bytes;
        }
    });
    return out;
}

} // namespace halvrick::DisplayText
