#include "core/HeadsUp.h"
#include "model/AppModel.h"
#include "model/Copy.h"

#include <algorithm>

namespace halvrick {

namespace {

std::optional<AppShare> firstNonSystem(const std::vector<AppShare>& apps) {
    const auto it = std::find_if(apps.begin(), apps.end(),
                                 [](const AppShare& share) { return share.app.kind != AppKey::Kind::system; });
    return it == apps.end() ? std::nullopt : std::optional(*it);
}

std::string pokeReply(Personality personality) {
    switch (personality) {
    case Personality::mild:
        return "Yes? I'm right here.";
    case Personality::dramatic:
        return "You POKED me. I felt that in my stem.";
    case Personality::deadpan:
        return "That was a poke. Okay.";
    case Personality::gremlin:
        return "hehe. that tickled. do it again.";
    }
    return "Yes? I'm right here.";
}

} // namespace

void AppModel::showTestHeadsUp() {
    const std::optional<AppShare> share = culprit_ ? culprit_ : firstNonSystem(topApps_);
    const std::optional<AppKey> app = share ? std::optional(share->app) : std::nullopt;
    announce(Copy::headsUp(HeadsUp::heatingUp(HeatState::meltdown, app, cpuLoad_), settings_.personality()),
             std::nullopt, std::nullopt);
}

void AppModel::pokePea() {
    showMomentary(FaceState::grateful, 3.0);
    announce(pokeReply(settings_.personality()), styled(face(FaceState::grateful, HeatState::chill)), 3.0);
}

std::optional<AppShare> AppModel::roastEntry() const {
    return culprit_ ? culprit_ : firstNonSystem(topApps_);
}

void AppModel::askToQuit(const AppKey& app) {
    // Only applications are asked to quit; processes and the system have no Quit.
    if (app.kind != AppKey::Kind::app) {
        return;
    }
    // The line tells how the last quit went: beside a new question it would read as its answer.
    publish(quitMessage_, std::nullopt, &AppModel::quitMessageChanged);
    setConfirmingQuit(app);
}

} // namespace halvrick
