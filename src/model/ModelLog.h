#pragma once

#include "model/AppModelEnvironment.h"

#include <QLoggingCategory>
#include <QString>

namespace halvrick {

// "halvrick.model": what became of the user's files and of sampling. Warnings show by default (the
// journal keeps them); debug lines only when HALVRICK_LOG is set.
Q_DECLARE_LOGGING_CATEGORY(modelLog)

namespace ModelLog {

// With HALVRICK_LOG set, the debug lines of every halvrick category show, stamped; QT_LOGGING_RULES and
// QT_MESSAGE_PATTERN still have the last word.
void followLogSwitch(const AppModelEnvironment::Lookup& environment);

// A path or a name as a log line may hold it: control and bidi characters written as escapes.
QString escaped(const QString& text);

} // namespace ModelLog

} // namespace halvrick
