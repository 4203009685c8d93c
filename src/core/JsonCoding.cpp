#include "core/JsonCoding.h"

#include <cmath>
#include <limits>

namespace halvrick::json {

namespace {

[[noreturn]] void wrongType(std::string_view key, std::string_view expected) {
    throw Error("\"" + std::string(key) + "\" must be " + std::string(expected));
}

} // namespace

Json parse(std::string_view text) {
    try {
        return Json::parse(text);
    } catch (const Json::exception& e) {
        throw Error(std::string("not valid JSON: ") + e.what());
    }
}

const Json& object(const Json& value, std::string_view what) {
    if (!value.is_object()) {
        wrongType(what, "an object");
    }
    return value;
}

const Json& member(const Json& obj, std::string_view key) {
    if (!obj.is_object()) {
        throw Error("expected an object holding \"" + std::string(key) + "\"");
    }
    const auto it = obj.find(key);
    if (it == obj.end()) {
        throw Error("missing key \"" + std::string(key) + "\"");
    }
    return *it;
}

bool asBool(const Json& value, std::string_view key) {
    if (!value.is_boolean()) {
        wrongType(key, "a boolean");
    }
    return value.get<bool>();
}

std::int64_t asInt(const Json& value, std::string_view key) {
    if (value.is_number_unsigned()) {
        const std::uint64_t u = value.get<std::uint64_t>();
        if (u <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return static_cast<std::int64_t>(u);
        }
    } else if (value.is_number_integer()) {
        return value.get<std::int64_t>();
    } else if (value.is_number_float()) {
        // A whole number written with a fraction part (3.0) still names an integer; the range is
        // checked before converting, which would otherwise be undefined for 1e30 or NaN.
        const double d = value.get<double>();
        if (d >= -9223372036854775808.0 && d < 9223372036854775808.0 && d == std::trunc(d)) {
            return static_cast<std::int64_t>(d);
        }
    }
    wrongType(key, "an integer");
}

std::uint64_t asUInt64(const Json& value, std::string_view key) {
    if (value.is_number_unsigned()) {
        return value.get<std::uint64_t>();
    }
    if (value.is_number_integer() && value.get<std::int64_t>() >= 0) {
        return static_cast<std::uint64_t>(value.get<std::int64_t>());
    }
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (d >= 0 && d < 18446744073709551616.0 && d == std::trunc(d)) {
            return static_cast<std::uint64_t>(d);
        }
    }
    wrongType(key, "a non-negative integer");
}

double asDouble(const Json& value, std::string_view key) {
    if (!value.is_number()) {
        wrongType(key, "a number");
    }
    return value.get<double>();
}

std::string asString(const Json& value, std::string_view key) {
    if (!value.is_string()) {
        wrongType(key, "a string");
    }
    return value.get<std::string>();
}

} // namespace halvrick::json
