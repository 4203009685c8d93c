#include "sampling/SamplingLog.h"

namespace halvrick {

Q_LOGGING_CATEGORY(samplingLog, "halvrick.sampling", QtWarningMsg)

} // namespace halvrick
