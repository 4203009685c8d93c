#pragma once

#include <QString>
#include <string>

namespace halvrick {

// Names, paths and reminder texts that come from other programs and from files, as a plain-text label
// shows them: control characters become U+FFFD, bidi controls and zero-width spaces are dropped, so a
// name can neither split a row nor reorder or hide the text around it; and a text longer than a window
// can hold is cut, ending in an ellipsis (what is stored stays whole).
namespace PlainText {

QString shown(const std::string& utf8);
QString shown(const QString& text);
// A name, cut shorter, so that the sentence around it still shows.
QString name(const std::string& utf8);
// A name as a button's or a menu item's title, where an ampersand would otherwise mark a shortcut key.
QString buttonTitle(const std::string& utf8);

} // namespace PlainText

} // namespace halvrick
