#pragma once

#include "core/AppKey.h"
#include "menubar/PopoverActions.h"
#include "menubar/PopoverLayout.h"
#include "ui/LinkButton.h"
#include "ui/WallClock.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace halvrick {

class AppModel;
class BlameList;
class CoalescedRefresh;
class CoolDownView;
class CursorPeaView;
class FittingScrollView;
class HabitStripView;
class IgnoredAppsView;
class NapView;
class PopoverCardSlot;
class PopoverFooter;
class RestPromptView;

// The popover's content: the pea and its line (or the card of a break under way), who is heating the
// machine, one card, the habit strip and the vitals link, the notes, and the footer. Built once; every
// publish of the model updates it in place (rows are kept per key), coalesced to one refresh per turn of
// the event loop.
class PopoverView : public QWidget {
    Q_OBJECT

public:
    static constexpr int width = 340;

    // `showsDebug` adds the model's debug readout to the notes.
    PopoverView(AppModel& model, bool showsDebug, PopoverActions actions, WallClock clock,
                QWidget* parent = nullptr);
    // The status item's popover: no debug readout, the system's clock.
    PopoverView(AppModel& model, PopoverActions actions, QWidget* parent = nullptr);
    ~PopoverView() override;

    // Reads the model now.
    void refresh();
    // The height the whole view must fit in (the screen's free area): the middle scrolls sooner.
    void setFitHeight(std::optional<int> height);

    // What tests and screenshots look at.
    const PopoverLayout& shownLayout() const { return layout_; }
    const QWidget& normalHeader() const { return *normalHeader_; }
    CoolDownView& coolDownHeader() const { return *coolDown_; }
    RestPromptView& restPromptHeader() const { return *restPrompt_; }
    NapView& napHeader() const { return *nap_; }
    CursorPeaView& pea() const { return *pea_; }
    const QLabel& titleLabel() const { return *title_; }
    const QLabel& heatLabel() const { return *heat_; }
    const QLabel& scoreLabel() const { return *score_; }
    const QLabel& loadLabel() const { return *load_; }
    const QLabel& blameLineLabel() const { return *blameLine_; }
    QPushButton& roastButton() const { return *roast_; }
    const QLabel& quitMessageLabel() const { return *quitMessage_; }
    PopoverCardSlot& cardSlot() const { return *cardSlot_; }
    HabitStripView& habitStrip() const { return *habitStrip_; }
    LinkButton& vitalsLink() const { return *vitalsLink_; }
    const QLabel& suppressionLabel() const { return *suppression_; }
    const BlameList& blameList() const { return *blameList_; }
    const IgnoredAppsView& ignoredApps() const { return *ignored_; }
    IgnoredAppsView& ignoredApps() { return *ignored_; }
    const QLabel& samplingNote() const { return *samplingNote_; }
    const QLabel& debugReadout() const { return *debugReadout_; }
    const QLabel& forcedNote() const { return *forcedNote_; }
    const FittingScrollView& scrollView() const { return *scroll_; }
    // The bottom row: the pea's own share, settings and the More menu.
    PopoverFooter& footer() const { return *footer_; }
    // How many times refresh() ran: publishes that come together are one refresh.
    int refreshCount() const { return refreshCount_; }
    // While the pointer is over the popover or a quit confirmation is open, the blame rows keep their
    // set, order and positions (a click must land on the row it was aimed at); their figures still
    // update, and the order catches up when the pointer leaves.
    bool holdsRowsStill() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // A popover that closed under the pointer gets no leave.
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildNormalHeader(QWidget* parent);
    QWidget* buildContent();
    void refreshHeader();
    void fitScroll();
    void refreshBlame();
    // Tab goes through the popover top to bottom, rows made later included.
    void orderTabs();
    void ignore(const AppKey& key);
    // The user's own ignore or restore shows at once, pointer or not.
    void refreshBlameNow();

    AppModel& model_;
    bool showsDebug_;
    PopoverActions actions_;
    WallClock clock_;
    PopoverLayout layout_;
    QWidget* normalHeader_ = nullptr;
    CoolDownView* coolDown_ = nullptr;
    RestPromptView* restPrompt_ = nullptr;
    NapView* nap_ = nullptr;
    CursorPeaView* pea_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* heat_ = nullptr;
    QLabel* score_ = nullptr;
    QLabel* load_ = nullptr;
    QLabel* blameLine_ = nullptr;
    QPushButton* roast_ = nullptr;
    BlameList* blameList_ = nullptr;
    IgnoredAppsView* ignored_ = nullptr;
    // The ignored names the list shows.
    std::map<std::string, std::string> ignoredShown_;
    QLabel* quitMessage_ = nullptr;
    PopoverCardSlot* cardSlot_ = nullptr;
    HabitStripView* habitStrip_ = nullptr;
    QWidget* vitalsRow_ = nullptr;
    LinkButton* vitalsLink_ = nullptr;
    QLabel* suppression_ = nullptr;
    QLabel* samplingNote_ = nullptr;
    QLabel* debugReadout_ = nullptr;
    QLabel* forcedNote_ = nullptr;
    FittingScrollView* scroll_ = nullptr;
    PopoverFooter* footer_ = nullptr;
    // Owned by the view.
    CoalescedRefresh* refresher_;
    int refreshCount_ = 0;
    std::optional<int> fitHeight_;
    bool pointerInside_ = false;
    bool releaseRowsOnce_ = false;
};

} // namespace halvrick
