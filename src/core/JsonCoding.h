#pragma once

#include "core/Date.h"
#include "core/Error.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvrick::json {

using Json = nlohmann::json;

// Strict readers for the stored formats: a missing required key or a value of the wrong type is a
// decoding error (halvrick::Error); unknown keys are never looked at.

Json parse(std::string_view text);

// The object itself must be a JSON object; `what` names it in the error.
const Json& object(const Json& value, std::string_view what);
const Json& member(const Json& object, std::string_view key);

bool asBool(const Json& value, std::string_view key);
std::int64_t asInt(const Json& value, std::string_view key);
std::uint64_t asUInt64(const Json& value, std::string_view key);
double asDouble(const Json& value, std::string_view key);
std::string asString(const Json& value, std::string_view key);

template <class T>
T as(const Json& value, std::string_view key);
template <>
inline bool as<bool>(const Json& v, std::string_view k) { return asBool(v, k); }
template <>
inline std::int64_t as<std::int64_t>(const Json& v, std::string_view k) { return asInt(v, k); }
template <>
inline int as<int>(const Json& v, std::string_view k) { return static_cast<int>(asInt(v, k)); }
template <>
inline std::uint64_t as<std::uint64_t>(const Json& v, std::string_view k) { return asUInt64(v, k); }
template <>
inline double as<double>(const Json& v, std::string_view k) { return asDouble(v, k); }
template <>
inline std::string as<std::string>(const Json& v, std::string_view k) { return asString(v, k); }

template <class T>
T required(const Json& obj, std::string_view key) {
    return as<T>(member(obj, key), key);
}

// Absent or null reads as nothing; present with the wrong type is still an error.
template <class T>
std::optional<T> optional(const Json& obj, std::string_view key) {
    const auto it = obj.find(key);
    if (it == obj.end() || it->is_null()) {
        return std::nullopt;
    }
    return as<T>(*it, key);
}

// Dates are stored as seconds since 2001-01-01 00:00:00 UTC.
inline Json fromDate(Date date) { return date.timeIntervalSinceReferenceDate(); }
inline Date requiredDate(const Json& obj, std::string_view key) {
    return Date::sinceReference(required<double>(obj, key));
}
inline std::optional<Date> optionalDate(const Json& obj, std::string_view key) {
    const auto seconds = optional<double>(obj, key);
    return seconds ? std::optional<Date>(Date::sinceReference(*seconds)) : std::nullopt;
}

} // namespace halvrick::json
