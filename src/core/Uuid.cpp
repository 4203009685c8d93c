#include "core/Uuid.h"

namespace halvrick {

namespace {

constexpr std::array<std::size_t, 4> hyphenPositions{8, 13, 18, 23};

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool isHyphenPosition(std::size_t i) {
    for (const std::size_t p : hyphenPositions) {
        if (p == i) {
            return true;
        }
    }
    return false;
}

} // namespace

Uuid Uuid::random(const std::function<std::size_t(std::size_t n)>& random) {
    Bytes bytes{};
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random(256));
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::fromString(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    Bytes bytes{};
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-') {
                return std::nullopt;
            }
            continue;
        }
        const int v = hexValue(text[i]);
        if (v < 0) {
            return std::nullopt;
        }
        auto& byte = bytes[nibble / 2];
        byte = static_cast<std::uint8_t>(nibble % 2 == 0 ? v << 4 : byte | v);
        ++nibble;
    }
    return Uuid(bytes);
}

std::string Uuid::toString() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text.push_back('-');
        }
        text.push_back(digits[bytes_[i] >> 4]);
        text.push_back(digits[bytes_[i] & 0x0F]);
    }
    return text;
}

} // namespace halvrick
