#include "ui/WallClock.h"

#include "sampling/SystemTimeSource.h"

namespace halvrick {

WallClock WallClock::system() {
    return {[] { return SystemTimeSource().now(); }, &SystemTimeSource::currentCalendar};
}

} // namespace halvrick
