#include "core/HeadsUp.h"
#include "model/AppModel.h"
#include "model/Copy.h"

namespace halvrick {

namespace {

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
    const std::optional<AppShare> share = blame_.roastEntry();
    const std::optional<AppKey> app = share ? std::optional(share->app) : std::nullopt;
    announce(Copy::headsUp(HeadsUp::heatingUp(HeatState::meltdown, app, cpuLoad_), settings_.personality()),
             std::nullopt, std::nullopt);
}

void AppModel::pokePea() {
    showMomentary(FaceState::grateful, 3.0);
    announce(pokeReply(settings_.personality()), styled(face(FaceState::grateful, HeatState::chill)), 3.0);
}

} // namespace halvrick
