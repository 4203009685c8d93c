#pragma once

#include "menubar/PopoverActions.h"
#include "menubar/PopoverLayout.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace halvrick {

class AppModel;
class EveningCardView;
class ReminderBubbleView;
class RoundedPanel;

// The popover's one card at a time. Every card is made once and shown or hidden; with no card the
// slot is hidden and takes no room.
class PopoverCardSlot : public QWidget {
public:
    PopoverCardSlot(AppModel& model, const PopoverActions& actions, QWidget* parent = nullptr);

    // Shows `card`, filled from the model.
    void refresh(PopoverCard card);

    PopoverCard card() const { return card_; }
    const RoundedPanel& reminderCard() const { return *reminderPanel_; }
    ReminderBubbleView& reminder() const { return *reminder_; }
    const RoundedPanel& headsUpCard() const { return *headsUpPanel_; }
    const QLabel& headsUpLabel() const { return *headsUp_; }
    EveningCardView& eveningCard() const { return *evening_; }
    const RoundedPanel& wrappedCard() const { return *wrappedPanel_; }
    QPushButton& wrappedOpenButton() const { return *wrappedOpen_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyLooks();

    AppModel& model_;
    const PopoverActions& actions_;
    PopoverCard card_ = PopoverCard::none;
    RoundedPanel* reminderPanel_;
    ReminderBubbleView* reminder_;
    RoundedPanel* headsUpPanel_;
    QLabel* headsUp_;
    EveningCardView* evening_;
    RoundedPanel* wrappedPanel_;
    QPushButton* wrappedOpen_;
};

} // namespace halvrick
