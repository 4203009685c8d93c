#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// The main group of a .desktop file: its unlocalised keys, string escapes undone.
class DesktopEntry {
public:
    // An Exec line taken apart: quoting undone, field codes dropped, leading environment settings and
    // `env` removed.
    struct Command {
        std::string program;
        std::vector<std::string> arguments;
        friend bool operator==(const Command&, const Command&) = default;
    };

    // Nothing for an unreadable file, one far larger than a desktop file, or one without the group.
    static std::optional<DesktopEntry> read(const std::filesystem::path& file);
    // Nothing for unbalanced quotes or a line that names no program.
    static std::optional<Command> command(std::string_view exec);

    // The key's value; "" when it is missing.
    std::string value(std::string_view key) const;
    bool flag(std::string_view key) const { return value(key) == "true"; }

private:
    std::map<std::string, std::string, std::less<>> values_;
};

} // namespace halvrick
