#include "core/CoolDownPattern.h"
#include "model/AppModel.h"
#include "model/AppServices.h"

#include <QPointer>

namespace halvrick {

namespace {

constexpr double coolDownTickInterval = 0.25;
// How long the finished exercise keeps its happy face.
constexpr double coolDownLinger = 4;

} // namespace

void AppModel::startCoolDown() {
    if (coolDown_ || restPhase_ == RestPhase::resting) {
        return;
    }
    publish(coolDown_, CoolDownState{services_->now(), 0, false}, &AppModel::coolDownChanged);
    coolDownStart_ = services_->monotonic();
    if (restPhase_ == RestPhase::prompting) {
        handleRestEvents(coach_->notNow(), false);
    }
    refreshMenuFace();
    const std::uint64_t task = ++coolDownTasks_;
    coolDownTask_ = task;
    services_->after(coolDownTickInterval, [self = QPointer<AppModel>(this), task] {
        if (self) {
            self->tickCoolDown(task);
        }
    });
}

void AppModel::tickCoolDown(std::uint64_t task) {
    // A stopped or replaced exercise ends its ticking here.
    if (coolDownTask_ != task || !coolDown_ || coolDown_->isFinished) {
        return;
    }
    // On the monotonic clock, so that setting the wall clock neither ends the exercise early nor stalls it.
    const double elapsed = std::chrono::duration<double>(services_->monotonic() - coolDownStart_).count();
    if (elapsed >= CoolDownPattern::totalSeconds) {
        finishCoolDown();
        return;
    }
    CoolDownState state = *coolDown_;
    state.elapsed = elapsed;
    publish(coolDown_, state, &AppModel::coolDownChanged);
    services_->after(coolDownTickInterval, [self = QPointer<AppModel>(this), task] {
        if (self) {
            self->tickCoolDown(task);
        }
    });
}

void AppModel::finishCoolDown() {
    if (!coolDown_ || coolDown_->isFinished) {
        return;
    }
    CoolDownState finished = *coolDown_;
    finished.elapsed = CoolDownPattern::totalSeconds;
    finished.isFinished = true;
    publish(coolDown_, finished, &AppModel::coolDownChanged);
    coolDownTask_.reset();
    handleRestEvents(coach_->recordManualBreak(), true);
    announce("There. Better.", face(FaceState::wakeUpHappy, state_), coolDownLinger);
    if (settings_.soundsEnabled()) {
        services_->playSound();
    }
    services_->after(coolDownLinger, [self = QPointer<AppModel>(this)] {
        if (self && self->coolDown_ && self->coolDown_->isFinished) {
            self->publish(self->coolDown_, std::nullopt, &AppModel::coolDownChanged);
            self->refreshMenuFace();
        }
    });
}

void AppModel::announce(const std::string& text, const std::optional<PeaFace>& face,
                        std::optional<double> duration) {
    const std::int64_t generation = ++headsUpGeneration_;
    const double shown = duration.value_or(config_.headsUpDisplayDuration);
    publish(headsUpMessage_, text, &AppModel::headsUpMessageChanged);
    if (onHeadsUp) {
        onHeadsUp(text, face ? *face : styled(popoverFaceWithoutStyle()), shown);
    }
    log("HEADS-UP: " + text);
    // The popover's card outlasts the bubble.
    services_->after(3 * shown, [self = QPointer<AppModel>(this), generation] {
        if (self && self->headsUpGeneration_ == generation) {
            self->publish(self->headsUpMessage_, std::nullopt, &AppModel::headsUpMessageChanged);
        }
    });
}

} // namespace halvrick
