#pragma once

#include "core/Calendar.h"
#include "core/Challenges.h"
#include "core/Date.h"

#include <QWidget>
#include <functional>
#include <optional>

class QVBoxLayout;

namespace halvrick {

class AppModel;

// This week's challenge in the history window: the result of one that just ended, else the running one
// with its seven days, else the three starters. Every action goes through the model and its challenge
// store, as the popover's habit strip does.
class ChallengeSection : public QWidget {
public:
    enum class Card { result, active, starters };

    static constexpr const char* giveUpQuestion =
        "Give up this challenge? The days you met stay in your history, but this challenge ends.";

    // A result beats a running challenge; a running one whose days cannot be read shows the starters.
    static Card choose(const std::optional<ChallengeResult>& result, const std::optional<ActiveChallenge>& active,
                       const std::optional<ChallengeProgress>& progress);
    // A day dot's spoken label.
    static QString dotLabel(const ChallengeDay& day, const Calendar& calendar);

    ChallengeSection(AppModel& model, std::function<Date()> now, std::function<Calendar()> calendar,
                     QWidget* parent = nullptr);

    // Reads the model again, as the window does once a minute: a new card only when what it shows
    // changed (a new day, a day met, another state); a different running challenge ends a pending
    // give-up question.
    void refresh();

    Card card() const { return card_; }
    bool confirmingGiveUp() const { return confirmingGiveUp_; }

private:
    // What the card on show was built from.
    struct Shown {
        std::optional<ChallengeResult> result;
        std::optional<ActiveChallenge> active;
        std::optional<ChallengeProgress> progress;
        bool confirmingGiveUp = false;

        friend bool operator==(const Shown&, const Shown&) = default;
    };

    QWidget* resultCard(const ChallengeResult& result);
    QWidget* activeCard(const ActiveChallenge& challenge, const ChallengeProgress& progress);
    QWidget* starterCards();
    void rebuild();
    void setConfirmingGiveUp(bool confirming);

    AppModel& model_;
    std::function<Date()> now_;
    std::function<Calendar()> calendar_;
    QVBoxLayout* column_;
    QWidget* shown_ = nullptr;
    std::optional<Shown> built_;
    Card card_ = Card::starters;
    bool confirmingGiveUp_ = false;
    std::optional<ActiveChallenge> lastActive_;
};

} // namespace halvrick
