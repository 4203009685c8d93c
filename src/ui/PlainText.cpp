#include "ui/PlainText.h"

#include "core/DisplayText.h"

namespace halvrick::PlainText {

QString shown(const std::string& utf8) {
    return QString::fromStdString(DisplayText::neutralised(utf8, DisplayText::longestText));
}

QString shown(const QString& text) {
    return shown(text.toStdString());
}

QString name(const std::string& utf8) {
    return QString::fromStdString(DisplayText::neutralised(utf8, DisplayText::longestName));
}

QString buttonTitle(const std::string& utf8) {
    // One line that cannot wrap: as short as a name.
    return name(utf8).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace halvrick::PlainText
