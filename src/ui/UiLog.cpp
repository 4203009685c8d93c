#include "ui/UiLog.h"

namespace halvrick {

Q_LOGGING_CATEGORY(uiLog, "halvrick.ui", QtWarningMsg)

} // namespace halvrick
