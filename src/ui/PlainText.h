#pragma once

#include <QString>
#include <string>

namespace halvrick {

// Names, paths and reminder texts that come from other programs and from files, as a plain-text label
// shows them: control characters become U+FFFD, bidi controls and zero-width spaces are dropped, so a
// name can neither split a row nor reorder or hide the text around it.
namespace PlainText {

QString shown(const std::string& utf8);
QString shown(const QString& text);
// The same as a button's title, where an ampersand would otherwise mark a shortcut key.
QString buttonTitle(const std::string& utf8);

} // namespace PlainText

} // namespace halvrick
