#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// An application the user asked not to be blamed for, as the ignored-apps list shows it.
struct IgnoredApp {
    // The AppKey id.
    std::string id;
    // Its display name.
    std::string name;

    // One entry per (id, name) pair, ordered by name in the conventions of `locale` (empty: the
    // application's locale), ignoring case; entries whose names compare equal keep the order of their ids.
    static std::vector<IgnoredApp> list(const std::map<std::string, std::string>& ignoredNames,
                                        std::string_view locale = {});

    friend bool operator==(const IgnoredApp&, const IgnoredApp&) = default;
};

} // namespace halvrick
