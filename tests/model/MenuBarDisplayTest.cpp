#include "model/MenuBarDisplay.h"

#include <gtest/gtest.h>

namespace halvrick {
namespace {

TEST(MenuBarDisplayTest, RawValuesAndLabelsInPickerOrder) {
    const std::array<std::pair<std::string_view, std::string_view>, 3> expected{
        {{"face", "Pea only"}, {"faceAndCPU", "Pea + CPU"}, {"cpu", "CPU only"}}};
    for (std::size_t i = 0; i < allMenuBarDisplays.size(); ++i) {
        const MenuBarDisplay display = allMenuBarDisplays[i];
        EXPECT_EQ(toString(display), expected[i].first);
        EXPECT_EQ(label(display), expected[i].second);
        EXPECT_EQ(menuBarDisplayFromString(expected[i].first), display);
    }
}

TEST(MenuBarDisplayTest, OnlyExactRawValuesConvert) {
    for (const std::string_view raw : {"Face", "faceandcpu", "CPU", "", " face"}) {
        EXPECT_FALSE(menuBarDisplayFromString(raw)) << raw;
    }
    EXPECT_FALSE(menuBarDisplayFromString(std::string_view("cpu\0", 4)));
}

} // namespace
} // namespace halvrick
