#pragma once

#include "ui/CoalescedRefresh.h"
#include "ui/WrappedLabel.h"

#include <QPushButton>
#include <QWidget>
#include <optional>

namespace halvrick {

class AnimatedPeaView;
class AppModel;

// The user's own reminder that came due, with "In 10 min" and "Done" (Return). Without an active
// reminder it shows nothing and takes no space. Follows the model in place.
class ReminderBubbleView : public QWidget {
    Q_OBJECT

public:
    static constexpr int peaSide = 40;

    explicit ReminderBubbleView(AppModel& model, QWidget* parent = nullptr);

    // Reads the model now.
    void refresh();
    // The most height the card may take (its host's screen less the host's margins); none: any. The
    // buttons always fit; a text that does not ends in "…" on the last line that does.
    void setFitHeight(std::optional<int> height);
    // The most lines of text the card shows; none: all that fit.
    void setTextLines(std::optional<int> lines);

    const WrappedLabel& textLabel() const { return *text_; }
    const AnimatedPeaView& pea() const { return *pea_; }
    QPushButton& snoozeButton() const { return *snooze_; }
    QPushButton& doneButton() const { return *done_; }
    // Whether a reminder is on show.
    bool isShowingReminder() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppModel& model_;
    CoalescedRefresh refresher_;
    QWidget* content_;
    AnimatedPeaView* pea_;
    WrappedLabel* text_;
    QPushButton* snooze_;
    QPushButton* done_;
};

} // namespace halvrick
