#pragma once

#include "core/AppKey.h"

namespace halvrick {

// An application with its part of the machine's CPU capacity over the blame window: 1.0 means every
// core busy for the whole window.
struct AppShare {
    AppKey app;
    double share = 0;

    friend bool operator==(const AppShare&, const AppShare&) = default;
};

} // namespace halvrick
