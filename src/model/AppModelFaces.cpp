#include "core/PeaAnimation.h"
#include "model/AppModel.h"
#include "model/AppServices.h"
#include "model/Copy.h"

#include <QPointer>

namespace halvrick {

std::optional<FaceState> AppModel::overlayState() const {
    if (coolDown_) {
        return coolDown_->isFinished ? FaceState::wakeUpHappy : FaceState::coolingDown;
    }
    if (momentaryFace_) {
        return momentaryFace_;
    }
    switch (restPhase_) {
    case RestPhase::prompting:
        return FaceState::tired;
    case RestPhase::resting:
    case RestPhase::breakTaken:
        return FaceState::napping;
    case RestPhase::idle:
    case RestPhase::active:
    case RestPhase::snoozed:
        break;
    }
    if (samplingFailed_) {
        return FaceState::confused;
    }
    if (isDozing_) {
        return FaceState::dozing;
    }
    return std::nullopt;
}

PeaFace AppModel::styled(const PeaFace& face) const {
    return settings_.personality() == Personality::mild ? face.cappedForMild() : face;
}

PeaFace AppModel::menuBarFace() const {
    const std::optional<FaceState> overlay = overlayState();
    if (!overlay || keepsHeatFaceInMenuBar(*overlay)) {
        return styled(PeaFace::heat(state_));
    }
    return styled(face(*overlay, state_));
}

std::vector<PeaFace> AppModel::menuBarFrames() const {
    const PeaFace current = menuBarFace();
    if (reduceMotion_ || current != styled(PeaFace::heat(state_))) {
        return {current};
    }
    std::vector<PeaFace> frames = PeaAnimation::menuBarFrames(state_);
    for (PeaFace& frame : frames) {
        frame = styled(frame);
    }
    return frames;
}

std::vector<PeaFace> AppModel::menuBarLoopFaces() const {
    std::vector<PeaFace> faces;
    for (const HeatState state : allHeatStates) {
        faces.push_back(styled(PeaFace::heat(state)));
        for (const PeaFace& frame : PeaAnimation::menuBarFrames(state)) {
            faces.push_back(styled(frame));
        }
    }
    return faces;
}

void AppModel::refreshMenuFace() {
    const PeaFace current = menuBarFace();
    if (lastMenuFace_ && *lastMenuFace_ == current) {
        return;
    }
    lastMenuFace_ = current;
    if (onMenuFaceChange) {
        onMenuFaceChange(current);
    }
}

void AppModel::updateDisplayOptions(bool reduceMotion, bool increaseContrast) {
    if (reduceMotion == reduceMotion_ && increaseContrast == increaseContrast_) {
        return;
    }
    reduceMotion_ = reduceMotion;
    increaseContrast_ = increaseContrast;
    emit displayOptionsChanged();
    // The frames depend on the options even when the face does not: the status item must redraw.
    lastMenuFace_.reset();
    refreshMenuFace();
}

PeaFace AppModel::popoverFaceWithoutStyle() const {
    if (const std::optional<FaceState> overlay = overlayState()) {
        return face(*overlay, state_);
    }
    if (blame_.confirmingQuit()) {
        return face(FaceState::askingToQuit, state_);
    }
    if (suppressionNote_) {
        return face(FaceState::shh, state_);
    }
    if (blame_.isMemoryFull()) {
        return PeaFace::stuffed();
    }
    if (blame_.culprit()) {
        return face(FaceState::blaming, state_);
    }
    if ((state_ == HeatState::chill || state_ == HeatState::warm) && !blame_.topApps().empty()) {
        PeaFace clear = face(FaceState::allClear, state_);
        clear.sweatDrops = PeaFace::heat(state_).sweatDrops;
        return clear;
    }
    return PeaFace::heat(state_);
}

void AppModel::showMomentary(FaceState face, double seconds) {
    const std::int64_t generation = ++momentaryGeneration_;
    publish(momentaryFace_, face, &AppModel::momentaryFaceChanged);
    refreshMenuFace();
    services_->after(seconds, [self = QPointer<AppModel>(this), generation] {
        if (self && self->momentaryGeneration_ == generation) {
            self->publish(self->momentaryFace_, std::nullopt, &AppModel::momentaryFaceChanged);
            self->refreshMenuFace();
        }
    });
}

} // namespace halvrick
