#include "core/JsonCoding.h"

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
    if (value.is_number_integer()) {
        return value.get<std::int64_t>();
    }
    // A whole number written with a fraction part (3.0) still names an integer.
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (d == static_cast<double>(static_cast<std::int64_t>(d)) && d >= -9.2e18 && d <= 9.2e18) {
            return static_cast<std::int64_t>(d);
        }
    }
    wrongType(key, "an integer");
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
