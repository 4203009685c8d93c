#pragma once

#include <QLoggingCategory>

namespace halvrick {

// "halvrick.sampling": services of the desktop that failed. Warnings show by default; debug lines only
// when HALVRICK_LOG is set.
Q_DECLARE_LOGGING_CATEGORY(samplingLog)

} // namespace halvrick
