#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "core/FolderGrowth.h"
#include "core/RestPhase.h"

#include <string>
#include <vector>

namespace halvrick {

class AppModel;

// What the popover's shape depends on, read from the model at one moment.
struct PopoverSnapshot {
    bool coolingDown = false;
    RestPhase restPhase = RestPhase::idle;
    bool hasReminder = false;
    bool hasHeadsUp = false;
    bool hasEveningSummary = false;
    bool wrappedReady = false;
    bool hasSuppressionNote = false;
    bool samplingFailed = false;
    bool showsDebug = false;
    bool isForced = false;

    static PopoverSnapshot of(const AppModel& model, bool showsDebug);
};

// Which view heads the popover: the pea with its line, or the card of a break under way.
enum class PopoverHeader { normal, coolDown, restPrompt, nap };

// The one card the middle shows, if any, in order of precedence.
enum class PopoverCard { none, reminder, headsUp, evening, wrapped };

struct PopoverLayout {
    PopoverHeader header = PopoverHeader::normal;
    int scrollMaxHeight = 0;
    PopoverCard card = PopoverCard::none;
    bool showsHabitStrip = false;
    bool showsVitalsLink = false;
    bool showsSuppressionNote = false;
    bool showsSamplingNote = false;
    bool showsDebugReadout = false;
    bool showsForcedNote = false;

    friend bool operator==(const PopoverLayout&, const PopoverLayout&) = default;
};

inline constexpr int popoverScrollMaxHeight = 420;
// While a break or a cool-down heads the popover, the middle gives it room.
inline constexpr int popoverRestFlowScrollMaxHeight = 250;

// A break is offered, a nap is running or the user is breathing.
bool isInRestFlow(const PopoverSnapshot& snapshot);
PopoverLayout popoverLayout(const PopoverSnapshot& snapshot);

// The header's first line.
std::string popoverTitle(RestPhase phase, const std::string& line);

// The vitals link: how the first grown folder changed, else an invitation to look.
std::string vitalsLinkText(const std::vector<FolderGrowth>& growth, Date now, const Calendar& calendar);

} // namespace halvrick
