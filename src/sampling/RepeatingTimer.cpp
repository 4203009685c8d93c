#include "sampling/RepeatingTimer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace halvrick {

QtRepeatingTimer::QtRepeatingTimer(QObject* context) : hasContext_(context != nullptr), context_(context) {
    timer_.setTimerType(Qt::CoarseTimer);
}

void QtRepeatingTimer::start(double seconds, std::function<void()> fire) {
    stop();
    if (!std::isfinite(seconds) || seconds < 0 || (hasContext_ && !context_)) {
        return;
    }
    const double milliseconds = std::min(std::round(seconds * 1000), static_cast<double>(INT_MAX));
    timer_.setInterval(static_cast<int>(milliseconds));
    QObject* receiver = hasContext_ ? context_.data() : &timer_;
    connection_ = QObject::connect(&timer_, &QTimer::timeout, receiver, std::move(fire));
    timer_.start();
}

void QtRepeatingTimer::stop() {
    timer_.stop();
    QObject::disconnect(connection_);
}

} // namespace halvrick
