#include "core/JsonCoding.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(JsonCodingTest, ReadsTypedFieldsStrictly) {
    const json::Json obj = json::parse(R"({"n": 3, "w": 3.0, "f": 2.5, "b": true, "s": "x", "z": null})");
    EXPECT_EQ(json::required<std::int64_t>(obj, "n"), 3);
    EXPECT_EQ(json::required<int>(obj, "w"), 3);
    EXPECT_EQ(json::required<double>(obj, "n"), 3.0);
    EXPECT_EQ(json::required<double>(obj, "f"), 2.5);
    EXPECT_TRUE(json::required<bool>(obj, "b"));
    EXPECT_EQ(json::required<std::string>(obj, "s"), "x");
    EXPECT_EQ(json::optional<int>(obj, "z"), std::nullopt);
    EXPECT_EQ(json::optional<int>(obj, "absent"), std::nullopt);

    EXPECT_THROW(json::required<int>(obj, "f"), Error);
    EXPECT_THROW(json::required<int>(obj, "s"), Error);
    EXPECT_THROW(json::required<bool>(obj, "n"), Error);
    EXPECT_THROW(json::required<std::string>(obj, "n"), Error);
    EXPECT_THROW(json::required<double>(obj, "absent"), Error);
    EXPECT_THROW(json::optional<int>(obj, "s"), Error);
    EXPECT_THROW(json::required<int>(json::parse("[1]"), "n"), Error);
}

TEST(JsonCodingTest, IntegersOutsideTheirRangeAreErrorsNotWrapped) {
    const json::Json obj = json::parse(
        R"({"big": 18446744073709551615, "huge": 1e30, "neg": -1, "max": 9223372036854775807, "f": 4.0})");
    EXPECT_THROW(json::required<std::int64_t>(obj, "big"), Error);
    EXPECT_THROW(json::required<std::int64_t>(obj, "huge"), Error);
    EXPECT_EQ(json::required<std::int64_t>(obj, "max"), INT64_MAX);
    EXPECT_EQ(json::required<std::uint64_t>(obj, "big"), UINT64_MAX);
    EXPECT_EQ(json::required<std::uint64_t>(obj, "f"), 4u);
    EXPECT_THROW(json::required<std::uint64_t>(obj, "neg"), Error);
    EXPECT_THROW(json::required<std::uint64_t>(obj, "huge"), Error);
}

TEST(JsonCodingTest, DatesUseThe2001Epoch) {
    const Date d = Date::since1970(978307200.0 + 12.5);
    EXPECT_EQ(json::fromDate(d), 12.5);
    json::Json obj{{"at", json::fromDate(d)}};
    EXPECT_EQ(json::requiredDate(obj, "at"), d);
    EXPECT_EQ(json::optionalDate(obj, "gone"), std::nullopt);
}

TEST(JsonCodingTest, GarbageIsADecodingError) {
    EXPECT_THROW(json::parse("{\"a\": "), Error);
    EXPECT_THROW(json::parse("\xff\xfe"), Error);
    EXPECT_THROW(json::object(json::parse("[]"), "ledger"), Error);
}

} // namespace
} // namespace halvrick
