#include "sampling/RepeatingTimer.h"

#include <algorithm>
#include <cmath>

namespace halvrick {

QtRepeatingTimer::QtRepeatingTimer() {
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (onFire_) {
            onFire_();
        }
    });
}

QtRepeatingTimer::~QtRepeatingTimer() { timer_.stop(); }

void QtRepeatingTimer::start(double seconds, std::function<void()> onFire) {
    onFire_ = std::move(onFire);
    const double ms = std::isfinite(seconds) && seconds > 0 ? std::round(seconds * 1000) : 1000;
    timer_.start(static_cast<int>(std::min(ms, 86'400'000.0)));
}

void QtRepeatingTimer::stop() { timer_.stop(); }

bool QtRepeatingTimer::isActive() const { return timer_.isActive(); }

} // namespace halvrick
