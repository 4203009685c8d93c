#include "core/VitalsDay.h"

#include "core/Error.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(VitalsDayTest, OnlyTheDayIsRequired) {
    EXPECT_EQ(VitalsDay::fromJson(json::parse(R"({"day": "2026-03-31"})")), VitalsDay("2026-03-31"));
    // Null reads as missing.
    EXPECT_EQ(VitalsDay::fromJson(json::parse(R"({"day": "2026-03-31", "peakMemoryUsed": null, "apps": null,
                                                 "folderBytes": null, "minStorageFree": null,
                                                 "folderMeasuredAt": null, "warningSeconds": null})")),
              VitalsDay("2026-03-31"));
    const char* bad[] = {
        R"({})",
        R"({"day": 20260331})",
        R"({"day": "2026-03-31", "peakSwapUsed": "1"})",
        R"({"day": "2026-03-31", "warningSeconds": true})",
        R"({"day": "2026-03-31", "apps": []})",
        R"({"day": "2026-03-31", "apps": {"x": {"id": "x", "name": "X", "peakBytes": 1, "lastBytes": 1}}})",
        R"({"day": "2026-03-31", "folderBytes": {"downloads": -1}})",
        R"({"day": "2026-03-31", "folderMeasuredAt": "yesterday"})",
    };
    for (const char* text : bad) {
        EXPECT_THROW(VitalsDay::fromJson(json::parse(text)), Error) << text;
    }
}

TEST(VitalsDayTest, AbsentOptionalsAreLeftOutWhenWriting) {
    const json::Json fresh = VitalsDay("2026-04-01").toJson();
    EXPECT_EQ(fresh, json::parse(R"({"day": "2026-04-01", "peakMemoryUsed": 0, "peakSwapUsed": 0,
                                     "warningSeconds": 0.0, "criticalSeconds": 0.0, "apps": {},
                                     "folderBytes": {}})"));

    VitalsDay full("2026-04-01");
    full.peakMemoryUsed = 17'000'000'000;
    full.peakSwapUsed = 3;
    full.minStorageFree = 0;
    full.maxStorageFree = 18'000'000'000'000'000'000u;
    full.warningSeconds = 12.5;
    full.criticalSeconds = 5;
    full.apps.emplace("/usr/share/applications/firefox.desktop",
                      AppMemoryPeak("/usr/share/applications/firefox.desktop", "Firefox", 900, 800,
                                    Date::sinceReference(1000.5)));
    full.folderBytes = {{"downloads", 0}, {"documents", 123}};
    full.folderMeasuredAt = Date::sinceReference(-5);
    const json::Json encoded = full.toJson();
    EXPECT_EQ(encoded["minStorageFree"], 0);
    EXPECT_EQ(encoded["folderMeasuredAt"], -5.0);
    EXPECT_EQ(VitalsDay::fromJson(json::parse(encoded.dump())), full);
}

} // namespace
} // namespace halvrick
