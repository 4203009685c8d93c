#include "model/ModelLog.h"

#include "core/DisplayText.h"

namespace halvrick {

Q_LOGGING_CATEGORY(modelLog, "halvrick.model", QtWarningMsg)

namespace ModelLog {

void followLogSwitch(const AppModelEnvironment::Lookup& environment) {
    if (!AppModelEnvironment::logsSamples(environment)) {
        return;
    }
    QLoggingCategory::setFilterRules(QStringLiteral("halvrick.*.debug=true"));
    qSetMessagePattern(
        QStringLiteral("[%{time hh:mm:ss.zzz}] %{if-category}%{category}: %{endif}%{message}"));
}

QString escaped(const QString& text) {
    return QString::fromStdString(DisplayText::escapedForLog(text.toStdString()));
}

} // namespace ModelLog

} // namespace halvrick
