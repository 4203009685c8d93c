#include "ui/PlainText.h"

#include "core/DisplayText.h"

namespace halvrick::PlainText {

QString shown(const std::string& utf8) {
    return QString::fromStdString(DisplayText::neutralised(utf8));
}

QString shown(const QString& text) {
    return shown(text.toStdString());
}

QString buttonTitle(const std::string& utf8) {
    return shown(utf8).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace halvrick::PlainText
