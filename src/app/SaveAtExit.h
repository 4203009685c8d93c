#pragma once

#include <functional>
#include <thread>

namespace halvrick {

// Saves once more when the process ends through exit() while this object lives: when the X server goes
// away (a logout that ends it first, a crash), Qt's X11 connection and Xlib end the process that way,
// and no quit signal reaches the app. The save runs only on the thread that made the object, where the
// stores live; elsewhere it is skipped. It must be harmless to repeat, as a store's save of clean data is.
// One at a time per process; make it as late as possible, so that what the save uses still exists.
class SaveAtExit {
public:
    explicit SaveAtExit(std::function<void()> save);
    // From here on exit() saves nothing.
    ~SaveAtExit();

    SaveAtExit(const SaveAtExit&) = delete;
    SaveAtExit& operator=(const SaveAtExit&) = delete;

private:
    static void runAtExit();

    std::function<void()> save_;
    std::thread::id owner_;
};

} // namespace halvrick
