#include "sampling/MicrophoneProbe.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace halvrick {

namespace {

namespace fs = std::filesystem;

// A name made of `prefix`, at least one digit and then `suffix`, like "pcm0c".
bool matches(std::string_view name, std::string_view prefix, std::string_view suffix = {}) {
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix)) {
        return false;
    }
    const std::string_view digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The entries of a folder whose names match; an unreadable folder has none. The card symlinks
// (/proc/asound/PCH -> card0) never match, so no card is read twice.
template <class Match> std::vector<fs::path> children(const fs::path& folder, Match match) {
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (match(it->path().filename().string())) {
            found.push_back(it->path());
        }
    }
    return found;
}

bool isRunning(const fs::path& status) {
    std::ifstream in(status);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("state: RUNNING") != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace

AsoundMicrophoneProbe::AsoundMicrophoneProbe(std::filesystem::path root) : root_(std::move(root)) {}

bool AsoundMicrophoneProbe::isMicrophoneInUse() {
    for (const fs::path& card : children(root_, [](std::string_view n) { return matches(n, "card"); })) {
        for (const fs::path& pcm :
             children(card, [](std::string_view n) { return matches(n, "pcm", "c"); })) {
            for (const fs::path& sub : children(pcm, [](std::string_view n) { return matches(n, "sub"); })) {
                if (isRunning(sub / "status")) {
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace halvrick
