#pragma once

#include <optional>
#include <string>

namespace halvrick {

// Who the running program is to the desktop: the name of its desktop entry, icon and autostart file.
// An installed build and a run from the build tree both have it; tests take it away to reach the
// behaviour of a program that has none.
class AppIdentity {
public:
    static constexpr const char* appId = "halvrick";

    // This program, with the identifier appId.
    AppIdentity();
    explicit AppIdentity(std::optional<std::string> identifier);

    static AppIdentity withoutIdentifier();

    const std::optional<std::string>& identifier() const { return identifier_; }
    bool hasIdentifier() const { return identifier_.has_value(); }

private:
    std::optional<std::string> identifier_;
};

} // namespace halvrick
