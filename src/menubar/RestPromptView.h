#pragma once

#include "ui/CoalescedRefresh.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace halvrick {

class AnimatedPeaView;
class AppModel;

// The pea asks for a break: the tired pea, the request in the voice of the day, and the three answers
// ("Let's rest (2 min)" on Return) with a one-minute breathing exercise offered instead. The answers go
// to the rest coach through the model; the card never changes the phase itself.
class RestPromptView : public QWidget {
    Q_OBJECT

public:
    static constexpr int peaSide = 96;

    explicit RestPromptView(AppModel& model, QWidget* parent = nullptr);

    // Reads the model now.
    void refresh();

    const QLabel& requestLabel() const { return *request_; }
    const AnimatedPeaView& pea() const { return *pea_; }
    QPushButton& notNowButton() const { return *notNow_; }
    QPushButton& snoozeButton() const { return *snooze_; }
    QPushButton& restButton() const { return *rest_; }
    QPushButton& breatheButton() const { return *breathe_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppModel& model_;
    CoalescedRefresh refresher_;
    AnimatedPeaView* pea_;
    QLabel* request_;
    QPushButton* notNow_;
    QPushButton* snooze_;
    QPushButton* rest_;
    QPushButton* breathe_;
};

} // namespace halvrick
