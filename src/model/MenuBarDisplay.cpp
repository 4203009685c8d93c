#include "model/MenuBarDisplay.h"

namespace halvrick {

namespace {

struct Option {
    std::string_view raw;
    std::string_view label;
};

constexpr Option option(MenuBarDisplay display) {
    switch (display) {
    case MenuBarDisplay::face:
        return {"face", "Pea only"};
    case MenuBarDisplay::faceAndCPU:
        return {"faceAndCPU", "Pea + CPU"};
    case MenuBarDisplay::cpu:
        return {"cpu", "CPU only"};
    }
    return {};
}

} // namespace

std::string_view toString(MenuBarDisplay display) {
    return option(display).raw;
}

std::optional<MenuBarDisplay> menuBarDisplayFromString(std::string_view raw) {
    for (const MenuBarDisplay display : allMenuBarDisplays) {
        if (toString(display) == raw) {
            return display;
        }
    }
    return std::nullopt;
}

std::string_view label(MenuBarDisplay display) {
    return option(display).label;
}

} // namespace halvrick
