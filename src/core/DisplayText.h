#pragma once

#include <string>
#include <string_view>

namespace halvrick {

// Names, paths and reminder texts come from other programs and from files: shown as they are, a line
// break splits a row, a bidi override turns the sentence around it backwards.
namespace DisplayText {

// The text as it may be shown: control characters (line breaks and separators included) become U+FFFD,
// bidi controls and zero-width spaces are removed, invalid UTF-8 is mended.
std::string neutralised(std::string_view text);

// The text for one log line: control and bidi characters and the backslash are written as escapes
// (\n, \t, \x1B, \u{202E}, \\), so that an event stays one line and reads as it was.
std::string escapedForLog(std::string_view text);

} // namespace DisplayText

} // namespace halvrick
