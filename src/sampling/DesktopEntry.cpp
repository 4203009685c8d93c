#include "sampling/DesktopEntry.h"

#include <fstream>

namespace halvrick {

namespace {

namespace fs = std::filesystem;

// Desktop files are a few kilobytes; anything far larger is not one.
constexpr std::uintmax_t maximumEntrySize = 256 * 1024;

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The escapes of string values; other backslashes stay for the Exec quoting rules.
std::string unescapedValue(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            out += raw[i];
            continue;
        }
        switch (raw[i + 1]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += raw[i];
            out += raw[i + 1];
            break;
        }
        ++i;
    }
    return out;
}

bool isAssignment(std::string_view token) {
    const std::size_t equals = token.find('=');
    if (equals == 0 || equals == std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 0; i < equals; ++i) {
        const char c = token[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!letter && !(i > 0 && c >= '0' && c <= '9')) {
            return false;
        }
    }
    return true;
}

// Exec arguments: blanks separate, double quotes group, a backslash takes the next character as is.
std::optional<std::vector<std::string>> splitExec(std::string_view exec) {
    std::vector<std::string> tokens;
    std::string current;
    bool inToken = false;
    bool inQuotes = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
            inToken = true;
        } else if (inQuotes) {
            if (c == '"') {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == '"') {
            inQuotes = true;
            inToken = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inToken) {
                tokens.push_back(std::move(current));
                current.clear();
                inToken = false;
            }
        } else {
            current += c;
            inToken = true;
        }
    }
    if (inQuotes) {
        return std::nullopt;
    }
    if (inToken) {
        tokens.push_back(std::move(current));
    }
    return tokens;
}

// Field codes are the launcher's to fill in; "%%" is a percent sign.
std::optional<std::string> withoutFieldCodes(const std::string& token) {
    static constexpr std::string_view codes = "fFuUdDnNickvm";
    if (token.size() == 2 && token[0] == '%' && codes.find(token[1]) != std::string_view::npos) {
        return std::nullopt;
    }
    if (token == "@@" || token == "@@u" || token == "@@f") { // flatpak's file-forwarding markers
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] == '%' && i + 1 < token.size()) {
            if (token[i + 1] == '%') {
                out += '%';
            }
            ++i;
        } else {
            out += token[i];
        }
    }
    return out;
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::read(const fs::path& file) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size > maximumEntrySize) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos) {
            continue;
        }
        std::string_view key(line.data(), equals);
        while (!key.empty() && key.back() == ' ') {
            key.remove_suffix(1);
        }
        if (key.empty() || key.find('[') != std::string_view::npos) {
            continue;
        }
        std::string_view value(line);
        value.remove_prefix(equals + 1);
        while (!value.empty() && value.front() == ' ') {
            value.remove_prefix(1);
        }
        entry.values_.try_emplace(std::string(key), unescapedValue(value));
    }
    if (!sawMainGroup) {
        return std::nullopt;
    }
    return entry;
}

std::string DesktopEntry::value(std::string_view key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? std::string() : it->second;
}

std::optional<DesktopEntry::Command> DesktopEntry::command(std::string_view exec) {
    auto split = splitExec(exec);
    if (!split) {
        return std::nullopt;
    }
    std::vector<std::string> tokens;
    for (const std::string& token : *split) {
        if (auto kept = withoutFieldCodes(token)) {
            tokens.push_back(std::move(*kept));
        }
    }
    std::size_t i = 0;
    while (i < tokens.size()) {
        if (isAssignment(tokens[i])) {
            ++i;
            continue;
        }
        if (baseName(tokens[i]) != "env") {
            break;
        }
        ++i;
        while (i < tokens.size() && tokens[i].starts_with('-')) {
            const std::string option = tokens[i++];
            if (option == "--") {
                break;
            }
            if ((option == "-u" || option == "-C" || option == "--unset" || option == "--chdir") &&
                i < tokens.size()) {
                ++i;
            } else if ((option == "-S" || option == "--split-string") && i < tokens.size()) {
                auto words = splitExec(tokens[i]);
                if (!words) {
                    return std::nullopt;
                }
                tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i));
                tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(i), words->begin(), words->end());
            }
        }
    }
    if (i >= tokens.size() || tokens[i].empty()) {
        return std::nullopt;
    }
    Command result;
    result.program = tokens[i];
    result.arguments.assign(tokens.begin() + static_cast<std::ptrdiff_t>(i) + 1, tokens.end());
    return result;
}

} // namespace halvrick
