#pragma once

#include "core/CoolDownPattern.h"
#include "ui/Announcer.h"
#include "ui/CoalescedRefresh.h"

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

namespace halvrick {

class AppModel;
class RingDial;
struct CoolDownState;

// The one-minute breathing exercise: a blue ring filling over the minute around a pea that swells on the
// in-breath, the step with its seconds left, the round, and "Stop" (or "Done" on Return once it is
// over). Each new step is announced. The model keeps the time; the card shows it.
class CoolDownView : public QWidget {
    Q_OBJECT

public:
    static constexpr double swollenScale = 1.06;

    // What the card shows for a moment of the exercise.
    struct Display {
        // 0...1 over the whole exercise.
        double progress;
        // None before the start and from the end on.
        std::optional<CoolDownPattern::Position> position;
        double peaScale;
        // The exercise is over or gone: "Done" instead of "Stop".
        bool isOver;

        friend bool operator==(const Display&, const Display&) = default;
    };

    static Display display(const std::optional<CoolDownState>& coolDown, bool reduceMotion);
    // The step line: "Breathe in… 4" and the like, "There. Better." without a step.
    static QString stepText(const std::optional<CoolDownPattern::Position>& position);

    // `announcer` says each new step; none speaks through this view's accessibility.
    explicit CoolDownView(AppModel& model, QWidget* parent = nullptr,
                          std::shared_ptr<Announcer> announcer = nullptr);

    // Reads the model now.
    void refresh();

    const RingDial& dial() const { return *dial_; }
    const QLabel& stepLabel() const { return *step_; }
    const QLabel& roundLabel() const { return *round_; }
    QPushButton& button() const { return *button_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppModel& model_;
    std::shared_ptr<Announcer> announcer_;
    CoalescedRefresh refresher_;
    RingDial* dial_;
    QLabel* step_;
    QLabel* round_;
    QPushButton* button_;
    // The step shown before this refresh.
    std::optional<CoolDownPattern::Stage> shownStage_;
    bool isOver_ = true;
};

} // namespace halvrick
