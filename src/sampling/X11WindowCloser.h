#pragma once

#include "sampling/AppDirectory.h"
#include "sampling/ProcessReader.h"
#include "sampling/X11Display.h"

#include <memory>
#include <string>
#include <vector>

namespace halvrick {

// Asks the windows of some processes to close, as the user would by clicking their close buttons.
class WindowCloser {
public:
    virtual ~WindowCloser() = default;
    // Whether at least one request went out. A process whose start time differs from the one given is
    // another program under a reused identifier and is left alone.
    virtual bool closeWindows(const std::vector<RunningApplication>& processes) = 0;
};

// On X11: finds the top-level windows whose _NET_WM_PID names one of the processes, through the window
// manager's client list or, without a window manager, among the root window's mapped children; then
// sends _NET_CLOSE_WINDOW to the window manager when it takes that, else WM_DELETE_WINDOW to each window
// that lists the protocol. Never a signal: the application may still ask to save its work. Windows of
// other machines, docks and desktops are skipped. Round trips go to our own connection only: one per
// top-level window and a few more per window of the processes; nothing waits for the application.
class X11WindowCloser final : public WindowCloser {
public:
    // A null display (no X server, or a Wayland session) closes nothing. The processes' start times are
    // read through `processReader` (this machine's /proc when null); `hostName` is this machine's name as
    // windows give it in WM_CLIENT_MACHINE (this machine's when empty).
    explicit X11WindowCloser(std::shared_ptr<X11Display> display,
                             std::unique_ptr<ProcessReader> processReader = {}, std::string hostName = {});

    bool closeWindows(const std::vector<RunningApplication>& processes) override;

private:
    struct Atoms {
        unsigned long supportingCheck = 0;
        unsigned long supported = 0;
        unsigned long clientList = 0;
        unsigned long closeWindow = 0;
        unsigned long wmPid = 0;
        unsigned long windowType = 0;
        unsigned long typeDesktop = 0;
        unsigned long typeDock = 0;
        unsigned long protocols = 0;
        unsigned long deleteWindow = 0;
    };

    struct Manager {
        bool listsClients = false;
        bool closesWindows = false;
    };

    Manager windowManager() const;
    std::vector<unsigned long> topLevelWindows(bool managed) const;
    bool isCandidate(unsigned long window, bool managed) const;
    bool send(unsigned long window, bool throughManager) const;

    std::shared_ptr<X11Display> display_;
    std::unique_ptr<ProcessReader> processReader_;
    std::string hostName_;
    Atoms atoms_;
};

} // namespace halvrick
