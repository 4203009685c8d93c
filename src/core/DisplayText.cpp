#include "core/DisplayText.h"

#include "core/MendedUTF8.h"

#include <cstdio>
#include <functional>
#include <vector>

namespace halvrick::DisplayText {

namespace {

constexpr std::string_view replacement = "\xEF\xBF\xBD";
constexpr std::string_view ellipsis = "\xE2\x80\xA6";
constexpr char32_t zeroWidthJoiner = 0x200D;

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

// Marks, joiners, variation selectors, skin tones, tags and Hangul vowels and finals: they belong to the
// character before them, and a cut just before one would leave that character bare or changed.
bool extendsPrevious(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1160 && c <= 0x11FF) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || c == zeroWidthJoiner || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) || (c >= 0x1F3FB && c <= 0x1F3FF) ||
           (c >= 0xE0020 && c <= 0xE007F) || (c >= 0xE0100 && c <= 0xE01EF);
}

// Flags are pairs of these.
bool isRegionalIndicator(char32_t c) {
    return c >= 0x1F1E6 && c <= 0x1F1FF;
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

std::string neutralised(std::string_view text, std::size_t longest) {
    return shortened(neutralised(text), longest);
}

std::string shortened(std::string_view text, std::size_t longest) {
    const std::string mended = mendedUTF8(text);
    struct Character {
        char32_t code;
        std::size_t offset;
    };
    // One past the cap is enough to know the text is too long.
    std::vector<Character> characters;
    forEachCharacter(mended, [&](char32_t c, std::string_view bytes) {
        if (characters.size() <= longest) {
            characters.push_back({c, static_cast<std::size_t>(bytes.data() - mended.data())});
        }
    });
    if (characters.size() <= longest) {
        return mended;
    }
    const std::size_t room = longest == 0 ? 0 : longest - 1;
    std::size_t kept = room;
    const auto splitsCluster = [&characters](std::size_t at) {
        if (extendsPrevious(characters[at].code) || characters[at - 1].code == zeroWidthJoiner) {
            return true;
        }
        if (!isRegionalIndicator(characters[at].code)) {
            return false;
        }
        std::size_t run = 0;
        while (run < at && isRegionalIndicator(characters[at - 1 - run].code)) {
            ++run;
        }
        return run % 2 == 1;
    };
    while (kept > 0 && splitsCluster(kept)) {
        --kept;
    }
    // One character drowned in marks: cut through it rather than show nothing.
    if (kept == 0) {
        kept = room;
    }
    while (kept > 0 && characters[kept - 1].code == ' ') {
        --kept;
    }
    std::string out = mended.substr(0, characters[kept].offset);
    if (longest > 0) {
        out += ellipsis;
    }
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
