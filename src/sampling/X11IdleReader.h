#pragma once

#include "sampling/IdleReader.h"
#include "sampling/X11Display.h"

#include <memory>

namespace halvrick {

// Idle time from the X server's screen-saver extension: a local round trip, cheap enough to ask every tick.
class X11IdleReader : public IdleReader {
public:
    // A null display, or one without the extension, reads as nothing.
    explicit X11IdleReader(std::shared_ptr<X11Display> display);

    std::optional<double> idleSeconds() override;

private:
    std::shared_ptr<X11Display> display_;
    bool hasExtension_ = false;
};

} // namespace halvrick
