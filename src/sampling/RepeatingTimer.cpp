#include "sampling/RepeatingTimer.h"

#include <QTimer>

#include <cmath>

namespace halvrick {

QtRepeatingTimer::QtRepeatingTimer() : timer_(std::make_unique<QTimer>()) {
    timer_->setTimerType(Qt::CoarseTimer);
}

QtRepeatingTimer::~QtRepeatingTimer() = default;

void QtRepeatingTimer::start(double seconds, std::function<void()> onFire) {
    timer_->stop();
    QObject::disconnect(timer_.get(), &QTimer::timeout, nullptr, nullptr);
    timer_->setInterval(static_cast<int>(std::lround(seconds * 1000)));
    // The timer itself is the context: once it is gone, nothing it scheduled can run.
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), std::move(onFire));
    timer_->start();
}

void QtRepeatingTimer::stop() { timer_->stop(); }

bool QtRepeatingTimer::isActive() const { return timer_->isActive(); }

} // namespace halvrick
