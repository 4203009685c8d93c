#pragma once

#include <string>

typedef struct _XDisplay Display;

namespace halvrick {

// Looks at the private X server: is a tray host there, and which windows does the app show.
class DesktopProbe {
public:
    // Throws when the display cannot be opened.
    explicit DesktopProbe(const std::string& display);
    ~DesktopProbe();
    DesktopProbe(const DesktopProbe&) = delete;
    DesktopProbe& operator=(const DesktopProbe&) = delete;

    // Someone owns the system tray selection of screen 0.
    bool hasTrayHost();

    struct AppWindows {
        bool trayIcon = false;    // a viewable window of the app no larger than an icon
        bool otherWindow = false; // a viewable window of the app larger than that (popover, window)
    };
    // Windows whose WM_CLASS names the app (either part, any case).
    AppWindows appWindows(const std::string& appClass);

private:
    void visit(unsigned long window, const std::string& appClass, AppWindows& found);

    Display* display_ = nullptr;
};

} // namespace halvrick
