#pragma once

#include "core/AppKey.h"
#include "sampling/ApplicationIndex.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace halvrick {

// The icons of applications, the system and bare processes, from the installed applications' desktop
// entries and the icon theme, with a painted icon wherever those have none. Main thread only; needs the
// GUI application object.
class AppIcons {
public:
    // Where theme icons are looked up. Setting it changes the icon theme of the whole application.
    struct Theme {
        QStringList searchPaths;
        QString name;
    };

    // Theme names for the keys that are not applications.
    static constexpr const char* systemIconName = "computer";
    static constexpr const char* processIconName = "application-x-executable";

    explicit AppIcons(std::function<std::shared_ptr<const ApplicationIndex>()> applications,
                      std::optional<Theme> theme = std::nullopt);

    // Cached by the key's id, as long as the process runs. An application key that the index does not
    // know (yet) gets a painted icon that is not cached, so the real one shows once the index has it.
    QIcon icon(const AppKey& key);

    // A desktop entry's Icon value: an absolute path to an image file, or a theme icon name (an image
    // suffix is tolerated). Null when neither gives a drawable image.
    static QIcon iconNamed(std::string_view iconValue);
    // A rounded square in a colour of the name's own with the name's first letter or digit.
    static QIcon paintedIcon(std::string_view name);
    static QColor colourFor(std::string_view name);
    // The icon scaled into a transparent square of exactly `pixelSize` pixels, centred; null below 1.
    static QImage render(const QIcon& icon, int pixelSize);

private:
    void follow(const std::shared_ptr<const ApplicationIndex>& index);

    std::function<std::shared_ptr<const ApplicationIndex>()> applications_;
    std::shared_ptr<const ApplicationIndex> index_;
    // Desktop-entry path -> its Icon value, for the index in index_.
    std::unordered_map<std::string, std::string> iconValues_;
    std::unordered_map<std::string, QIcon> cache_;
    // Painted icons of application keys the index does not know, until the index changes.
    std::unordered_map<std::string, QIcon> unknown_;
};

} // namespace halvrick
