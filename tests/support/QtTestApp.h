#pragma once

namespace halvrick {

// The test program's one application object lives from before the first test to after the last; it
// runs on the offscreen platform, so no display is needed.
bool qtTestAppReady();

} // namespace halvrick
