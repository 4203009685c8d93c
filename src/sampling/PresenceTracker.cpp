#include "sampling/PresenceTracker.h"

#include "sampling/DBusIdleReader.h"
#include "sampling/LogindPresenceSignals.h"
#include "sampling/ScreenSaverPresenceSignals.h"
#include "sampling/X11Display.h"
#include "sampling/X11IdleReader.h"

#include <QDBusConnection>

#include <algorithm>

namespace halvrick {

PresenceTracker::Facilities PresenceTracker::Facilities::system() {
    Facilities facilities;
    const std::shared_ptr<X11Display> display = X11Display::openSession();
    const QDBusConnection session = QDBusConnection::sessionBus();
    facilities.idleReaders.push_back(std::make_unique<X11IdleReader>(display));
    facilities.idleReaders.push_back(
        std::make_unique<DBusIdleReader>(session, DBusIdleReader::gnomeIdleMonitor()));
    facilities.idleReaders.push_back(
        std::make_unique<DBusIdleReader>(session, DBusIdleReader::freedesktopScreenSaver()));
    facilities.microphone = std::make_unique<AsoundMicrophoneProbe>();
    facilities.fullScreen = std::make_unique<X11FullScreenProbe>(display);
    facilities.signalSources.push_back(std::make_unique<LogindPresenceSignals>(
        QDBusConnection::systemBus(), LogindPresenceSignals::Identity::current()));
    facilities.signalSources.push_back(std::make_unique<ScreenSaverPresenceSignals>(session));
    return facilities;
}

PresenceTracker::PresenceTracker() : PresenceTracker(Facilities::system()) {}

PresenceTracker::PresenceTracker(Facilities facilities) : facilities_(std::move(facilities)) {}

void PresenceTracker::start() {
    if (started_) {
        return;
    }
    started_ = true;
    for (const auto& source : facilities_.signalSources) {
        // The sources belong to the tracker and go with it, so `this` outlives every call.
        source->start([this](bool lost) { observe(lost); });
    }
    secondsSinceLastInput();
}

void PresenceTracker::observe(bool lost) {
    cachedSuppression_.reset();
    isAway_ = lost;
    const auto& callback = lost ? onPresenceLost : onPresenceRestored;
    if (callback) {
        callback();
    }
}

std::optional<SuppressionReason> PresenceTracker::suppression() {
    const double now = facilities_.monotonicNow();
    if (cachedSuppression_ && now - cachedSuppression_->time < suppressionCacheDuration) {
        return cachedSuppression_->reason;
    }
    const std::optional<SuppressionReason> reason = computeSuppression();
    cachedSuppression_ = CachedSuppression{reason, now};
    return reason;
}

std::optional<SuppressionReason> PresenceTracker::computeSuppression() {
    if (facilities_.microphone->isMicrophoneInUse()) {
        return SuppressionReason::microphoneInUse;
    }
    if (facilities_.fullScreen->isFullScreenAppInFront()) {
        return SuppressionReason::fullScreenApp;
    }
    if (quietHours && quietHours->contains(facilities_.wallNow(), facilities_.calendar())) {
        return SuppressionReason::quietHours;
    }
    return std::nullopt;
}

void PresenceTracker::askAhead() {
    for (const auto& reader : facilities_.idleReaders) {
        reader->askAhead();
    }
}

double PresenceTracker::secondsSinceLastInput() {
    for (const auto& reader : facilities_.idleReaders) {
        if (const std::optional<double> idle = reader->idleSeconds()) {
            lag_ = std::max(0.0, reader->readingLag());
            return std::max(0.0, *idle);
        }
    }
    lag_ = 0;
    return 0;
}

} // namespace halvrick
