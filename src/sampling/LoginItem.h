#pragma once

#include "sampling/AppIdentity.h"
#include "sampling/LoginItemService.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvrick {

// Start at login through the desktop's autostart folders: a desktop entry named after the app's
// identifier in the user's autostart folder starts the app; one there with Hidden=true cancels an
// entry of the same name that the system installed.
class LoginItem : public LoginItemService {
public:
    static constexpr const char* developmentBuildMessage =
        "Opening at login works only in the packaged app, not when the program runs as a bare executable.";

    // This user's configuration folders, as the desktop reads them, and this program.
    LoginItem();
    // configHome holds the user's autostart folder; configDirs the system's, most important first.
    LoginItem(AppIdentity identity, std::string configHome, std::vector<std::string> configDirs,
              std::string executablePath);

    std::optional<std::string> setEnabled(bool enabled) override;
    bool isEnabled() const override;

    // The value of an Exec key that runs exactly this path: quoted when it holds anything but the
    // plainest characters, then escaped as a desktop entry string.
    static std::string execValue(std::string_view path);

private:
    std::string userFile() const;
    std::optional<std::string> systemFile() const;
    std::optional<std::string> write(const std::string& content) const;

    AppIdentity identity_;
    std::string configHome_;
    std::vector<std::string> configDirs_;
    std::string executablePath_;
};

} // namespace halvrick
