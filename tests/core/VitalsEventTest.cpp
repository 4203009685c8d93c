#include "core/VitalsEvent.h"

#include "core/Error.h"

#include <gtest/gtest.h>
#include <string>

namespace halvrick {
namespace {

std::string decodeError(const char* text) {
    try {
        VitalsEventKind::fromJson(json::parse(text));
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(VitalsEventKindTest, NamesAndPayloads) {
    EXPECT_EQ(VitalsEventKind::storageFreed(5).name(), "storageFreed");
    EXPECT_EQ(VitalsEventKind::storageFilled(5).name(), "storageFilled");
    EXPECT_EQ(VitalsEventKind::storageLow(5).name(), "storageLow");
    EXPECT_EQ(VitalsEventKind::swapStarted(5).name(), "swapStarted");
    EXPECT_EQ(VitalsEventKind::pressureCritical().name(), "pressureCritical");
    EXPECT_EQ(VitalsEventKind::memoryFreed(5).name(), "memoryFreed");
    EXPECT_EQ(VitalsEventKind::memoryFreed(5).payload(), 5u);
    EXPECT_EQ(VitalsEventKind::pressureCritical().payload(), std::nullopt);
    EXPECT_EQ(VitalsEventKind::storageFreed(5), VitalsEventKind::storageFreed(5));
    EXPECT_NE(VitalsEventKind::storageFreed(5), VitalsEventKind::storageFreed(6));
    EXPECT_NE(VitalsEventKind::storageFreed(5), VitalsEventKind::storageFilled(5));
}

TEST(VitalsEventKindTest, JsonHoldsOneCaseKeyWithItsLabelledPayload) {
    EXPECT_EQ(VitalsEventKind::storageFreed(7).toJson(), json::parse(R"({"storageFreed": {"bytes": 7}})"));
    EXPECT_EQ(VitalsEventKind::storageLow(9).toJson(), json::parse(R"({"storageLow": {"freeBytes": 9}})"));
    EXPECT_EQ(VitalsEventKind::pressureCritical().toJson(), json::parse(R"({"pressureCritical": {}})"));
    for (const auto& kind :
         {VitalsEventKind::storageFreed(1), VitalsEventKind::storageFilled(2), VitalsEventKind::storageLow(3),
          VitalsEventKind::swapStarted(4), VitalsEventKind::pressureCritical(),
          VitalsEventKind::memoryFreed(18'446'744'073'709'551'615u)}) {
        EXPECT_EQ(VitalsEventKind::fromJson(json::parse(kind.toJson().dump())), kind) << kind.name();
    }
    // Unrecognised keys beside the one case are ignored.
    EXPECT_EQ(VitalsEventKind::fromJson(json::parse(R"({"swapStarted": {"bytes": 4, "x": 1}, "other": 2})")),
              VitalsEventKind::swapStarted(4));
}

TEST(VitalsEventKindTest, ReadingFailures) {
    const std::string countError = "Invalid number of keys found, expected one.";
    EXPECT_EQ(decodeError(R"({})"), countError);
    EXPECT_EQ(decodeError(R"({"storageFreed": {"bytes": 1}, "memoryFreed": {"bytes": 2}})"), countError);
    EXPECT_EQ(decodeError(R"({"diskExploded": {"bytes": 1}})"), countError);
    EXPECT_NE(decodeError(R"({"storageLow": {"bytes": 1}})"), "no error");
    EXPECT_NE(decodeError(R"({"storageFreed": {}})"), "no error");
    EXPECT_NE(decodeError(R"({"storageFreed": 5})"), "no error");
    EXPECT_NE(decodeError(R"({"pressureCritical": null})"), "no error");
    EXPECT_NE(decodeError(R"(["storageFreed"])"), "no error");
}

TEST(VitalsEventTest, JsonRoundTripWithUpperCaseId) {
    const VitalsEvent event(*Uuid::fromString("0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9"),
                            Date::sinceReference(12.25), VitalsEventKind::storageLow(42));
    const json::Json encoded = event.toJson();
    EXPECT_EQ(encoded["id"], "0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");
    EXPECT_EQ(encoded["date"], 12.25);
    EXPECT_EQ(VitalsEvent::fromJson(json::parse(encoded.dump())), event);
    EXPECT_THROW(
        VitalsEvent::fromJson(json::parse(R"({"id": "nope", "date": 1, "kind": {"pressureCritical": {}}})")),
        Error);
    EXPECT_THROW(
        VitalsEvent::fromJson(json::parse(R"({"id": "0A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9", "date": 1})")),
        Error);
}

} // namespace
} // namespace halvrick
