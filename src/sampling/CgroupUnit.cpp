#include "sampling/CgroupUnit.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace halvrick {

namespace {

// systemd escapes unit names: "\x2d" is "-".
std::string unescapedUnit(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const std::string hex(text.substr(i + 2, 2));
            char* end = nullptr;
            const long code = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                out += static_cast<char>(code);
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::optional<CgroupUnit> sandboxOfUnit(std::string_view unit) {
    constexpr std::string_view flatpakPrefix = "app-flatpak-";
    constexpr std::string_view scopeSuffix = ".scope";
    if (unit.starts_with(flatpakPrefix) && unit.ends_with(scopeSuffix)) {
        std::string_view id =
            unit.substr(flatpakPrefix.size(), unit.size() - flatpakPrefix.size() - scopeSuffix.size());
        const std::size_t dash = id.rfind('-');
        if (dash == std::string_view::npos || dash == 0 || dash + 1 == id.size() ||
            id.find_first_not_of("0123456789", dash + 1) != std::string_view::npos) {
            return std::nullopt;
        }
        return CgroupUnit{CgroupUnit::Kind::flatpak, unescapedUnit(id.substr(0, dash)), {}};
    }
    constexpr std::string_view snapPrefix = "snap.";
    if (unit.starts_with(snapPrefix)) {
        const std::string_view rest = unit.substr(snapPrefix.size());
        const std::size_t dot = rest.find('.');
        if (dot == 0 || dot == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view app = rest.substr(dot + 1);
        app = app.substr(0, app.find('.'));
        // "snap.<name>.<app>-<uuid>.scope": the uuid is 36 characters.
        constexpr std::size_t uuidLength = 36;
        if (app.size() > uuidLength + 1 && app[app.size() - uuidLength - 1] == '-') {
            app.remove_suffix(uuidLength + 1);
        }
        return CgroupUnit{CgroupUnit::Kind::snap, unescapedUnit(rest.substr(0, dot)), unescapedUnit(app)};
    }
    return std::nullopt;
}

} // namespace

CgroupUnit CgroupUnit::fromCgroup(std::string_view cgroupText) {
    std::size_t start = 0;
    while (start < cgroupText.size()) {
        const std::size_t end = std::min(cgroupText.find('\n', start), cgroupText.size());
        std::string_view line = cgroupText.substr(start, end - start);
        start = end + 1;
        // "hierarchy:controllers:path"
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
        if (second == std::string_view::npos) {
            continue;
        }
        std::string_view path = line.substr(second + 1);
        while (!path.empty()) {
            const std::size_t slash = path.rfind('/');
            const std::string_view unit = slash == std::string_view::npos ? path : path.substr(slash + 1);
            if (auto sandbox = sandboxOfUnit(unit)) {
                return *sandbox;
            }
            path = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
        }
    }
    return {};
}

} // namespace halvrick
