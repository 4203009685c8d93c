#pragma once

#include <QLoggingCategory>

namespace halvrick {

// "halvrick.ui": files the windows could not write. Warnings show by default; debug lines only when
// HALVRICK_LOG is set.
Q_DECLARE_LOGGING_CATEGORY(uiLog)

} // namespace halvrick
