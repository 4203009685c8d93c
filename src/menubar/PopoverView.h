#pragma once

#include "core/AppKey.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

namespace halvrick {

class AnimatedPeaView;
class AppModel;
class BlameRow;
class FittingScrollView;
class IgnoredAppsView;
class SystemPartsView;

// The closures through which the popover opens windows; the status item fills them.
struct PopoverActions {
    std::function<void()> openSettings;
    std::function<void()> openWrapped;
    std::function<void()> openSampleWrapped;
    std::function<void()> openArtworkLab;
    std::function<void()> openHistory;
    std::function<void()> openVitals;
    std::function<void()> openRoast;
};

// The popover's content: the pea and its readings, who is heating the machine, and the notes. Built
// once; every publish of the model updates it in place (rows are kept per key), coalesced to one
// refresh per turn of the event loop.
class PopoverView : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 340;
    static constexpr int scrollMaxHeight = 420;
    static constexpr int restFlowScrollMaxHeight = 250;

    PopoverView(AppModel& model, PopoverActions actions, QWidget* parent = nullptr);
    ~PopoverView() override;

    // Reads the model now.
    void refresh();

    // What tests and screenshots look at.
    const QLabel& titleLabel() const { return *title_; }
    const QLabel& heatLabel() const { return *heat_; }
    const QLabel& loadLabel() const { return *load_; }
    const QLabel& blameLineLabel() const { return *blameLine_; }
    const QLabel& quitMessageLabel() const { return *quitMessage_; }
    const QLabel& suppressionLabel() const { return *suppression_; }
    // The card slot: the heads-up text on its orange card.
    const QLabel& headsUpCard() const { return *headsUp_; }
    const std::map<AppKey, BlameRow*>& blameRows() const { return rows_; }
    const SystemPartsView& systemParts() const { return *systemParts_; }
    const IgnoredAppsView& ignoredApps() const { return *ignored_; }
    IgnoredAppsView& ignoredApps() { return *ignored_; }
    const QLabel& samplingNote() const { return *samplingNote_; }
    const QLabel& forcedNote() const { return *forcedNote_; }
    const FittingScrollView& scrollView() const { return *scroll_; }
    QPushButton& vitalsLink() const { return *vitalsLink_; }
    // The order the rows stand in, top to bottom.
    std::vector<AppKey> rowOrder() const;
    // How many times refresh() ran: publishes that come together are one refresh.
    int refreshCount() const { return refreshCount_; }

private:
    void scheduleRefresh();
    void refreshBlame();
    void ignore(const AppKey& key);

    AppModel& model_;
    PopoverActions actions_;
    AnimatedPeaView* pea_;
    QLabel* title_;
    QLabel* heat_;
    QLabel* load_;
    QLabel* blameLine_;
    QLabel* quitMessage_;
    QLabel* suppression_;
    QLabel* headsUp_;
    FittingScrollView* scroll_;
    QWidget* rowsBox_;
    std::map<AppKey, BlameRow*> rows_;
    SystemPartsView* systemParts_;
    IgnoredAppsView* ignored_;
    QPushButton* vitalsLink_;
    QLabel* samplingNote_;
    QLabel* forcedNote_;
    bool refreshPending_ = false;
    int refreshCount_ = 0;
};

} // namespace halvrick
