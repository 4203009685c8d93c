#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace halvrick {

// A private connection to the session's X server, shared by the facilities that read X. Used from the
// main thread only.
class X11Display {
public:
    // The server named by DISPLAY; nothing when DISPLAY is unset or empty, in a Wayland session, or when
    // the server cannot be reached.
    static std::shared_ptr<X11Display> openSession();
    // Nothing when the server cannot be reached.
    static std::shared_ptr<X11Display> open(const std::string& name);
    // In a Wayland session X sees only the X clients, even through Xwayland, so it cannot tell idle time
    // or the window in front.
    static bool sessionUsesX11(const char* display, const char* sessionType);

    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    _XDisplay* handle() const { return display_; }

    // Windows can vanish between two questions: while a trap lives, X errors are counted instead of
    // ending the process through Xlib's default handler. Main thread only.
    class ErrorTrap {
    public:
        explicit ErrorTrap(_XDisplay* display);
        ~ErrorTrap();
        ErrorTrap(const ErrorTrap&) = delete;
        ErrorTrap& operator=(const ErrorTrap&) = delete;

        // Errors caught by every trap so far.
        static int errors();

    private:
        _XDisplay* display_;
        void* previous_;
    };

    // A property of 32-bit items (Xlib hands them out as longs); empty when missing or of another type.
    static std::vector<unsigned long> property(_XDisplay* display, unsigned long window, unsigned long name,
                                               unsigned long type);
    static std::optional<unsigned long> firstOf(const std::vector<unsigned long>& values);

private:
    explicit X11Display(_XDisplay* display) : display_(display) {}
    _XDisplay* display_;
};

} // namespace halvrick
