#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace halvrick {

// Names, paths and reminder texts come from other programs and from files: shown as they are, a line
// break splits a row, a bidi override turns the sentence around it backwards.
namespace DisplayText {

// The most characters shown of any one text, and of a name inside a sentence: a reminder can be as long
// as its file, a name as long as a desktop entry makes it, and neither may push a window off the screen.
constexpr std::size_t longestText = 500;
constexpr std::size_t longestName = 60;

// The text as it may be shown: control characters (line breaks and separators included) become U+FFFD,
// bidi controls and zero-width spaces are removed, invalid UTF-8 is mended.
std::string neutralised(std::string_view text);
// The same, cut to at most `longest` characters, the ellipsis included.
std::string neutralised(std::string_view text, std::size_t longest);

// At most `longest` characters of UTF-8 `text`: a longer one is cut where a character and the marks,
// joiners and modifiers that belong to it end, and ends in "…".
std::string shortened(std::string_view text, std::size_t longest);

// The text for one log line: control and bidi characters and the backslash are written as escapes
// (\n, \t, \x1B, \u{202E}, \\), so that an event stays one line and reads as it was.
std::string escapedForLog(std::string_view text);

} // namespace DisplayText

} // namespace halvrick
