#pragma once

#include <QIcon>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

struct xcb_connection_t;

namespace halvrick {

// Draws tray icons straight into an XEmbed tray window through XRender, as Qt's own tray window draws
// them: a window without alpha is cleared to its parent's background and the icon laid over it; a window
// with alpha takes the icon's pixels as they are. Each icon goes to the X server once and is then only
// composited, so stepping through an animation costs two small requests a frame instead of a repaint.
// Main thread only.
class X11TrayPainter {
public:
    // Icons kept on the server at once; past this, all are dropped and sent again as they come.
    static constexpr std::size_t keptIcons = 64;

    // Nothing when the server lacks XRender or its 32-bit ARGB format, or orders image bytes otherwise
    // than this machine.
    static std::unique_ptr<X11TrayPainter> make(xcb_connection_t* connection);
    ~X11TrayPainter();
    X11TrayPainter(const X11TrayPainter&) = delete;
    X11TrayPainter& operator=(const X11TrayPainter&) = delete;

    // Shows `icon` in `window`, whose size is `size` at `devicePixelRatio`, painted as QIcon::paint paints
    // it into that rectangle. False when it cannot: the window is gone, its visual unknown, the icon too
    // large for one request.
    bool show(std::uint32_t window, QSize size, double devicePixelRatio, const QIcon& icon);

    // Icons on the server for the current window.
    std::size_t iconsOnServer() const { return icons_.size(); }

private:
    struct Formats;

    X11TrayPainter(xcb_connection_t* connection, std::unique_ptr<Formats> formats);
    bool useWindow(std::uint32_t window, QSize pixels);
    std::uint32_t upload(const QIcon& icon, QSize size, double devicePixelRatio);
    void forgetIcons();
    void forgetWindow();

    xcb_connection_t* connection_;
    std::unique_ptr<Formats> formats_;
    std::uint32_t window_ = 0;
    QSize pixels_;
    std::uint32_t windowPicture_ = 0;
    bool windowHasAlpha_ = false;
    // Pictures of the uploaded icons by their cache keys.
    std::map<qint64, std::uint32_t> icons_;
};

} // namespace halvrick
