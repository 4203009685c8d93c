#include "menubar/ShownText.h"

#include "core/DisplayText.h"

namespace halvrick {

QString shownText(const std::string& text) { return QString::fromStdString(DisplayText::neutralised(text)); }

QString shownButtonText(const std::string& text) {
    return shownText(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace halvrick
