#include "core/JsonUInt64.h"

namespace halvrick::json {

std::uint64_t asUInt64(const Json& value, std::string_view key) {
    if (value.is_number_unsigned()) {
        return value.get<std::uint64_t>();
    }
    if (value.is_number_integer() && value.get<std::int64_t>() >= 0) {
        return static_cast<std::uint64_t>(value.get<std::int64_t>());
    }
    // A whole number written with a fraction part (3.0) still names a count.
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (d >= 0 && d < 18446744073709551616.0 && d == static_cast<double>(static_cast<std::uint64_t>(d))) {
            return static_cast<std::uint64_t>(d);
        }
    }
    throw Error("\"" + std::string(key) + "\" must be a non-negative integer");
}

} // namespace halvrick::json
