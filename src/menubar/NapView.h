#pragma once

#include "ui/Announcer.h"
#include "ui/CoalescedRefresh.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <optional>

namespace halvrick {

class AppModel;
class RingDial;

// The break under way: a green dial filling up as the calm time the break needs runs down, the pea
// asleep inside it, the countdown, and "End break".
class NapView : public QWidget {
    Q_OBJECT

public:
    // `announcer` says "Break ended."; none speaks through this view's accessibility.
    explicit NapView(AppModel& model, QWidget* parent = nullptr,
                     std::shared_ptr<Announcer> announcer = nullptr);

    // How full the dial is for a rest remaining of `remaining` seconds out of `required`: empty without
    // a remaining time, and always within 0...1.
    static double progress(std::optional<double> remaining, double required);
    // The line under the dial: the time still to go, or "Almost there…" once none is left to show.
    static QString countdownText(std::optional<double> remaining);

    // Reads the model now.
    void refresh();

    const RingDial& dial() const { return *dial_; }
    const QLabel& countdownLabel() const { return *countdown_; }
    QPushButton& endButton() const { return *end_; }

private:
    void endBreak();

    AppModel& model_;
    std::shared_ptr<Announcer> announcer_;
    CoalescedRefresh refresher_;
    RingDial* dial_;
    QLabel* countdown_;
    QPushButton* end_;
};

} // namespace halvrick
