#pragma once

#include "core/JsonCoding.h"

#include <cstdint>
#include <string_view>

namespace halvrick::json {

// Byte counts: a non-negative whole number up to 2^64 - 1; anything else is a decoding error.
std::uint64_t asUInt64(const Json& value, std::string_view key);

template <> inline std::uint64_t as<std::uint64_t>(const Json& v, std::string_view k) {
    return asUInt64(v, k);
}

} // namespace halvrick::json
