#include "model/AppModel.h"
#include "model/AppServices.h"
#include "sampling/NotificationService.h"
#include "model/Copy.h"

#include <array>
#include <string_view>
#include <vector>

namespace halvrick {

namespace {

constexpr const char* restPromptId = "rest-prompt";

// One entry per personality, in the order mild, dramatic, deadpan, gremlin.
template <typename T> const T& byPersonality(const std::array<T, 4>& table, Personality personality) {
    return table[static_cast<std::size_t>(personality)];
}

using Lines = std::vector<std::string_view>;

const std::array<std::string_view, 4> snoozeLines{
    "Fine. 15 more minutes. I'm counting.",
    "FINE. Fifteen more minutes. I'll be here. Waiting. Dramatically.",
    "Fifteen minutes. Fine.",
    "FINE. fifteen more minutes. i'll be here. waiting. dramatically.",
};

const std::array<std::string_view, 4> dismissalLines{
    "Okay. I'll ask again later.",
    "Okay. I'm disappointed. Deeply.",
    "Okay. Later.",
    "okay. i'm disappointed. deeply. (later.)",
};

const std::array<Lines, 4>& sideEyeLines() {
    static const std::array<Lines, 4> lines{{
        {"I can hear you typing.", "That's not resting. I can see you.", "Hands off. We're on a break."},
        {"I can HEAR you typing.", "That keyboard is not restful. I'm WATCHING you.",
         "Put. The. Fingers. Down."},
        {"I can hear you typing.", "That's typing. Not resting. Noted.", "You're doing it again."},
        {"i can HEAR you. stop it.", "typing? during MY break? rude.", "put the fingers down. i'm watching."},
    }};
    return lines;
}

const std::array<Lines, 4>& abandonedLines() {
    static const std::array<Lines, 4> lines{{
        {"Okay, that didn't count. We'll try again later.", "That was more of a typing break. Next time?"},
        {"That did NOT count. I'm heartbroken. (Dramatically.)", "A typing break. Cool. Cool cool cool."},
        {"That didn't count. We'll try again.", "A typing break. Great."},
        {"that did NOT count. i'm devastated. (dramatically.)", "a typing break. cool. cool cool cool."},
    }};
    return lines;
}

const std::array<Lines, 4>& restedLines() {
    static const std::array<Lines, 4> lines{{
        {"Ahh. Much better. Thank you.", "I feel like a brand new pea.", "Refreshed! Okay, let's go."},
        {"AHH. I'm reborn. A new pea.", "I feel INCREDIBLE. Thank you.", "Refreshed! Let's absolutely GO."},
        {"Rested. Fine. Thanks.", "That worked. I'm back.", "Okay. Better."},
        {"AHH. reborn. a new pea.", "i feel INCREDIBLE. thank you.", "refreshed! let's GO. hehe."},
    }};
    return lines;
}

} // namespace

void AppModel::handleRestEvents(const std::vector<RestEvent>& events, bool announceDismissal) {
    const auto book = [this](const std::function<void(StatsLedger&, Date, const Calendar&)>& record) {
        const Date now = services_->now();
        record(stats_->ledger(), now, services_->calendar());
        statsChanged(now);
    };
    const auto say = [this](std::string_view text, RestFace face, double seconds) {
        announce(std::string(text), PeaFace::rest(face, state_), seconds);
    };
    const auto pick = [this](const std::array<Lines, 4>& table) {
        const Lines& lines = byPersonality(table, settings_.personality());
        return lines.empty() ? std::string_view() : lines[services_->random(lines.size())];
    };

    bool promptShown = false;
    for (const RestEvent& event : events) {
        log("REST: " + toString(event));
        const Personality personality = settings_.personality();
        switch (event.kind()) {
        case RestEvent::Kind::stretchEnded:
            book([duration = *event.duration()](StatsLedger& ledger, Date now, const Calendar& calendar) {
                ledger.recordStretch(duration, now, calendar);
            });
            break;
        case RestEvent::Kind::promptSuppressed:
        case RestEvent::Kind::restStarted:
            break;
        case RestEvent::Kind::promptShown:
            book([](StatsLedger& ledger, Date now, const Calendar& calendar) {
                ledger.recordPromptShown(now, calendar);
            });
            promptShown = true;
            break;
        case RestEvent::Kind::snoozed:
            showMomentary(FaceState::snoozed, 3);
            say(byPersonality(snoozeLines, personality), RestFace::snoozed, 3);
            break;
        case RestEvent::Kind::dismissed:
            if (announceDismissal) {
                say(byPersonality(dismissalLines, personality), RestFace::snoozed, 3);
            }
            break;
        case RestEvent::Kind::sideEye:
            showMomentary(FaceState::sideEye, 3);
            say(pick(sideEyeLines()), RestFace::sideEye, 3);
            break;
        case RestEvent::Kind::breakCompleted:
            book([](StatsLedger& ledger, Date now, const Calendar& calendar) {
                ledger.recordBreakTaken(now, calendar);
            });
            break;
        case RestEvent::Kind::restAbandoned:
            showMomentary(FaceState::sideEye, 3);
            say(pick(abandonedLines()), RestFace::sideEye, 5);
            break;
        case RestEvent::Kind::wokeUpHappy:
            showMomentary(FaceState::wakeUpHappy, 4);
            say(pick(restedLines()), RestFace::wakeUp, 5);
            break;
        }
    }

    publish(restRemaining_, coach_->restRemaining(), &AppModel::restRemainingChanged);
    const RestPhase phase = coach_->phase();
    if (phase == restPhase_) {
        return;
    }
    if (restPhase_ == RestPhase::prompting && services_->identity.hasIdentifier()) {
        notifier_.remove(restPromptId);
    }
    publish(restPhase_, phase, &AppModel::restPhaseChanged);
    if (onRestPhaseChange) {
        onRestPhaseChange(phase);
    }
    // Sent once the status item has had its say: over the prompt's bubble the server's popup would take
    // the click meant for its buttons.
    const bool shownHere = showsRestPrompt && showsRestPrompt();
    if (promptShown && phase == RestPhase::prompting && !shownHere && settings_.notificationsEnabled() &&
        services_->identity.hasIdentifier()) {
        notifier_.send(restPromptId,
                       Copy::restPrompt(coach_->config().restInterval, settings_.personality()));
    }
    refreshMenuFace();
}

void AppModel::presenceLost() {
    stopCoolDown();
    handleRestEvents(coach_->presenceLost(), true);
}

void AppModel::stopCoolDown() {
    coolDownTask_.reset();
    if (coolDown_) {
        publish(coolDown_, std::nullopt, &AppModel::coolDownChanged);
        refreshMenuFace();
    }
}

} // namespace halvrick
