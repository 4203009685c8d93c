#pragma once

#include "core/Challenges.h"
#include "core/DailyGrade.h"
#include "core/Date.h"
#include "ui/RoundedPanel.h"

#include <functional>
#include <optional>
#include <string>

class QLabel;

namespace halvrick {

class AppModel;
class ElidedLabel;
class GlyphView;

// One line in the popover with today's grade and the running challenge; a click anywhere on it opens
// the history window. Hidden while there is nothing to say.
class HabitStripView : public RoundedPanel {
public:
    struct Content {
        // "Today's grade · B 82", or "Today · warming up" before today has a grade.
        std::string gradeText;
        bool hasGrade = false;
        // "Chill week · 3/5" while a challenge runs and its progress is known.
        std::optional<std::string> challengeText;

        friend bool operator==(const Content&, const Content&) = default;
    };

    // What the strip says; nothing when it should not show. `progress` is read only with a challenge.
    static std::optional<Content> content(const std::optional<DailyGrade>& grade,
                                          std::optional<ChallengeKind> kind,
                                          const std::optional<ChallengeProgress>& progress);

    HabitStripView(AppModel& model, std::function<void()> openHistory, std::function<Date()> now,
                   QWidget* parent = nullptr);

    // Reads today's grade and the challenge again.
    void refresh();

    const std::optional<Content>& shown() const { return shown_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Space or Return opens the history, as a click does.
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyLook();

    AppModel& model_;
    std::function<void()> openHistory_;
    std::function<Date()> now_;
    ElidedLabel* grade_;
    QLabel* dot_;
    ElidedLabel* challenge_;
    GlyphView* chevron_;
    std::optional<Content> shown_;
};

} // namespace halvrick
