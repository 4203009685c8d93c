#include "core/MendedUTF8.h"

namespace halvrick {

std::string mendedUTF8(std::string_view bytes) {
    static constexpr std::string_view replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
        } else {
            out += replacement;
            ++i;
            continue;
        }
        std::size_t good = 1; // bytes of this sequence that are valid so far
        while (good < length && i + good < bytes.size()) {
            const auto c = static_cast<unsigned char>(bytes[i + good]);
            const bool fits = good == 1 ? (c >= low && c <= high) : (c & 0xC0) == 0x80;
            if (!fits) {
                break;
            }
            ++good;
        }
        if (good == length) {
            out.append(bytes.substr(i, length));
        } else if (i + good == bytes.size()) {
            break;
        } else {
            out += replacement;
        }
        i += good;
    }
    return out;
}

} // namespace halvrick
