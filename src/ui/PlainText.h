#pragma once

#include <QString>

namespace halvrick {

// Names that come from the system (processes, applications, paths) shown as they are meant: control
// characters become U+FFFD, and invisible format characters (bidi overrides and isolates, zero-width
// marks) are dropped, so a name can neither reorder nor hide the text around it.
namespace PlainText {

QString shown(const QString& text);
QString shown(const std::string& utf8);

} // namespace PlainText

} // namespace halvrick
