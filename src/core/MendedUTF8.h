#pragma once

#include <string>
#include <string_view>

namespace halvrick {

// Text safe to show from bytes the kernel or a file handed us: every invalid sequence becomes U+FFFD,
// and a character cut off at the end (the kernel truncates process names by bytes) is dropped.
std::string mendedUTF8(std::string_view bytes);

} // namespace halvrick
