#pragma once

#include "core/PeaFace.h"
#include "model/EveningSummary.h"
#include "pea/PeaStyle.h"
#include "ui/RoundedPanel.h"

#include <functional>

class QLabel;
class QPushButton;

namespace halvrick {

class AppModel;
class PeaView;

// The end-of-day wrap-up in the popover: how the day went, a goodnight that puts the card away for the
// day, and a way into the history.
class EveningCardView : public RoundedPanel {
public:
    // The card's still pea: waving, in its plain colours whatever the display options.
    static PeaFace peaFace();
    static PeaStyle peaStyle() { return PeaStyle{false, false}; }

    EveningCardView(EveningSummary summary, AppModel& model, std::function<void()> openHistory,
                    QWidget* parent = nullptr);

    const EveningSummary& summary() const { return summary_; }
    void setSummary(const EveningSummary& summary);

    const QLabel& titleLabel() const { return *title_; }
    const QLabel& bodyLabel() const { return *body_; }
    QPushButton& goodnightButton() const { return *goodnight_; }
    QPushButton& lookBackButton() const { return *lookBack_; }
    const PeaView& pea() const { return *pea_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyLook();

    EveningSummary summary_;
    AppModel& model_;
    std::function<void()> openHistory_;
    PeaView* pea_;
    QLabel* title_;
    QLabel* body_;
    QPushButton* goodnight_;
    QPushButton* lookBack_;
};

} // namespace halvrick
