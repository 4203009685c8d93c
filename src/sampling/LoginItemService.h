#pragma once

#include <optional>
#include <string>

namespace halvrick {

// Starting the app when the user logs in, as the settings and the first run see it, so that both
// run against a fake.
class LoginItemService {
public:
    virtual ~LoginItemService() = default;

    // Nothing on success, else one line telling the user what went wrong.
    virtual std::optional<std::string> setEnabled(bool enabled) = 0;
    // Whether the app starts at login as things stand, whoever arranged it.
    virtual bool isEnabled() const = 0;
};

} // namespace halvrick
