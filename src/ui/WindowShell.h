#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace halvrick {

// The one window of a window controller: made on first show, hidden (never destroyed) when closed and
// reused on every later show. Once closed it gives back its native window and the memory its painting
// took, and gets them anew on its next show. The application menu of other desktops becomes per-window
// shortcuts (Ctrl+W closes, Ctrl+Q quits, Ctrl+, opens the settings). Main thread only.
namespace WindowShell {

// An empty top-level window; a size of zero leaves the minimum free. `onClosed` runs after each close
// (not on minimising), before the memory goes back: the owner drops what it makes afresh on every show.
std::unique_ptr<QWidget> make(const QString& title, QSize minimumSize = {},
                              std::function<void()> onClosed = {});

// Gives `window` the shortcuts of every window; for top-level windows made elsewhere.
void addShortcuts(QWidget& window);

// What Ctrl+, does in every window, windows made before this included; nothing until it is set.
void setOpenSettings(std::function<void()> openSettings);

// What a window's content may take on its screen: the available area less a title bar and borders.
QSize room(const QWidget& window);

// Shows the window, brought within its screen's room and centred there the first time, and brings it
// to the front. The window manager may refuse to move focus; that is its call.
void present(QWidget& window, bool firstShow);

} // namespace WindowShell

} // namespace halvrick
