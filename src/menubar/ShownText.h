#pragma once

#include <QString>
#include <string>

namespace halvrick {

// A name, path, reminder or a sentence holding one, as a plain-text label shows it: control characters
// replaced, bidi controls removed.
QString shownText(const std::string& text);

// The same as a button's title, where an ampersand would otherwise mark a shortcut key.
QString shownButtonText(const std::string& text);

} // namespace halvrick
