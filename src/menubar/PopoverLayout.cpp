#include "menubar/PopoverLayout.h"

#include "core/Bytes.h"
#include "model/AppModel.h"
#include "model/Copy.h"

namespace halvrick {

PopoverSnapshot PopoverSnapshot::of(const AppModel& model, bool showsDebug) {
    PopoverSnapshot s;
    s.coolingDown = model.coolDown().has_value();
    s.restPhase = model.restPhase();
    s.hasReminder = model.activeReminder().has_value();
    s.hasHeadsUp = model.headsUpMessage().has_value();
    s.hasEveningSummary = model.eveningSummary().has_value();
    s.wrappedReady = model.wrappedReady();
    s.hasSuppressionNote = model.suppressionNote().has_value();
    s.samplingFailed = model.samplingFailed();
    s.showsDebug = showsDebug;
    s.isForced = model.forcedState().has_value();
    return s;
}

bool isInRestFlow(const PopoverSnapshot& snapshot) {
    return snapshot.coolingDown || snapshot.restPhase == RestPhase::prompting ||
           snapshot.restPhase == RestPhase::resting;
}

PopoverLayout popoverLayout(const PopoverSnapshot& snapshot) {
    PopoverLayout layout;
    const bool restFlow = isInRestFlow(snapshot);
    if (snapshot.coolingDown) {
        layout.header = PopoverHeader::coolDown;
    } else if (snapshot.restPhase == RestPhase::prompting) {
        layout.header = PopoverHeader::restPrompt;
    } else if (snapshot.restPhase == RestPhase::resting) {
        layout.header = PopoverHeader::nap;
    }
    layout.scrollMaxHeight = restFlow ? popoverRestFlowScrollMaxHeight : popoverScrollMaxHeight;
    if (!restFlow) {
        if (snapshot.hasReminder) {
            layout.card = PopoverCard::reminder;
        } else if (snapshot.hasHeadsUp) {
            layout.card = PopoverCard::headsUp;
        } else if (snapshot.hasEveningSummary) {
            layout.card = PopoverCard::evening;
        } else if (snapshot.wrappedReady) {
            layout.card = PopoverCard::wrapped;
        }
        // Not while snoozed: the habit strip would nag about the break just put off.
        const bool habits = snapshot.restPhase != RestPhase::snoozed;
        layout.showsHabitStrip = habits;
        layout.showsVitalsLink = habits;
    }
    layout.showsSuppressionNote = snapshot.hasSuppressionNote;
    layout.showsSamplingNote = snapshot.samplingFailed;
    layout.showsDebugReadout = snapshot.showsDebug;
    layout.showsForcedNote = snapshot.isForced;
    return layout;
}

std::string popoverTitle(RestPhase phase, const std::string& line) {
    return phase == RestPhase::breakTaken ? "All rested. Come back whenever 😌" : line;
}

std::string vitalsLinkText(const std::vector<FolderGrowth>& growth, Date now, const Calendar& calendar) {
    if (growth.empty()) {
        return "What changed…";
    }
    const FolderGrowth& g = growth.front();
    return Copy::vitalsFolderName(g.id) + " " + Bytes::change(g.delta(), true) + " " +
           Copy::vitalsFolderSince(g.earlierDay, g.earlierDate, now, calendar);
}

} // namespace halvrick
