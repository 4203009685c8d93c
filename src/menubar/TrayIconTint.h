#pragma once

#include <QColor>
#include <optional>

struct xcb_connection_t;

namespace halvrick {

// What an XEmbed tray tells of its panel. A tray host that draws its own symbolic icons in the panel's
// text colour publishes that colour in _NET_SYSTEM_TRAY_COLORS on its manager window (Xfce's and MATE's
// panels do); the application's palette knows nothing of the panel, which may be dark under a light
// theme.
namespace TrayIconTint {

// The foreground colour the tray manager of `screen` asks for; none when no tray manager runs or it
// names no colours. One round trip to the server.
std::optional<QColor> advertisedForeground(xcb_connection_t* connection, int screen);
// The same on the X server this application runs on; none on other platforms.
std::optional<QColor> advertisedForeground();

} // namespace TrayIconTint

} // namespace halvrick
