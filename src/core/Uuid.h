#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick {

// A 128-bit identifier, written as 36 upper-case hyphenated characters.
class Uuid {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    constexpr Uuid() = default;
    constexpr explicit Uuid(const Bytes& bytes) : bytes_(bytes) {}

    // A random (version 4) identifier drawn from `random`, which returns 0..n-1.
    static Uuid random(const std::function<std::size_t(std::size_t n)>& random);
    // Accepts either letter case; anything but the 8-4-4-4-12 hex form gives nothing.
    static std::optional<Uuid> fromString(std::string_view text);

    std::string toString() const;
    const Bytes& bytes() const { return bytes_; }

    friend bool operator==(const Uuid&, const Uuid&) = default;
    friend auto operator<=>(const Uuid&, const Uuid&) = default;

private:
    Bytes bytes_{};
};

} // namespace halvrick
