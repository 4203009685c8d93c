#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace halvrick {

// What the tray icon shows; a setting, stored by its raw value.
enum class MenuBarDisplay { face, faceAndCPU, cpu };

inline constexpr std::array<MenuBarDisplay, 3> allMenuBarDisplays{
    MenuBarDisplay::face, MenuBarDisplay::faceAndCPU, MenuBarDisplay::cpu};

std::string_view toString(MenuBarDisplay display);
// Exact and case-sensitive: "Face" is no display.
std::optional<MenuBarDisplay> menuBarDisplayFromString(std::string_view raw);

// The option's name in the settings picker.
std::string_view label(MenuBarDisplay display);

} // namespace halvrick
