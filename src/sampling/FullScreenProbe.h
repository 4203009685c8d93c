#pragma once

#include "sampling/X11Display.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace halvrick {

// Whether the application in front shows a full-screen window (a film, a presentation, a game).
class FullScreenProbe {
public:
    virtual ~FullScreenProbe() = default;
    virtual bool isFullScreenAppInFront() = 0;
};

struct PixelSize {
    double width = 0;
    double height = 0;
};

// True when the window's width and height each differ from some screen's by strictly less than one
// pixel; where the window sits does not matter.
bool fillsAScreen(PixelSize window, const std::vector<PixelSize>& screens);

// Reads the window manager's hints (EWMH) on X11: the active window's process, that process's mapped
// normal windows, and whether one of them is marked full screen or fills a screen. Without a display, or
// without a window manager that publishes the hints, the answer is false.
class X11FullScreenProbe : public FullScreenProbe {
public:
    explicit X11FullScreenProbe(std::shared_ptr<X11Display> display);

    bool isFullScreenAppInFront() override;

private:
    struct Atoms {
        unsigned long activeWindow = 0;
        unsigned long clientList = 0;
        unsigned long wmPid = 0;
        unsigned long wmState = 0;
        unsigned long stateFullScreen = 0;
        unsigned long stateHidden = 0;
        unsigned long windowType = 0;
        unsigned long typeNormal = 0;
    };

    // What the server said of one of the front application's windows.
    struct WindowFacts {
        bool viewable = false;
        std::optional<PixelSize> size;
        std::vector<std::uint32_t> types;
        std::vector<std::uint32_t> state;
    };

    // Every X screen's size. X11 itself knows no monitors: a full-screen window on one of several
    // monitors is found by its full-screen state instead.
    std::vector<PixelSize> screenSizes() const;
    bool isFullScreenWindow(const WindowFacts& window, const std::vector<PixelSize>& screens) const;

    std::shared_ptr<X11Display> display_;
    Atoms atoms_;
};

} // namespace halvrick
