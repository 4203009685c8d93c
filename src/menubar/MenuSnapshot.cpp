#include "menubar/MenuSnapshot.h"

#include "model/AppModel.h"

namespace halvrick {

MenuSnapshot MenuSnapshot::of(const AppModel& model) {
    MenuSnapshot snapshot;
    snapshot.restPhase = model.restPhase();
    snapshot.coolDown = model.coolDown().has_value();
    snapshot.forcedState = model.forcedState();
    snapshot.debugRestInterval = model.debugRestInterval();
    snapshot.activeChallenge = model.activeChallenge().has_value();
    snapshot.ignoredApps = !model.blame().ignoredNames().empty();
    snapshot.simulatingSamplerFailure = model.simulatingSamplerFailure();
    return snapshot;
}

} // namespace halvrick
