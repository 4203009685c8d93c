#include "menubar/PopoverView.h"

#include "core/FaceState.h"
#include "menubar/BlameList.h"
#include "menubar/BlameRows.h"
#include "menubar/CoolDownView.h"
#include "menubar/HabitStripView.h"
#include "menubar/NapView.h"
#include "menubar/PopoverCardSlot.h"
#include "menubar/PopoverFooter.h"
#include "menubar/RestPromptView.h"
#include "ui/PlainText.h"
#include "model/AppModel.h"
#include "model/Copy.h"
#include "pea/CursorPeaView.h"
#include "ui/CoalescedRefresh.h"
#include "ui/FittingScrollView.h"
#include "ui/LinkButton.h"
#include "ui/Theme.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

constexpr std::array<const char*, 4> heatTitles{"Chill", "Warm", "Sweating", "Meltdown"};
// On a screen too short for the whole popover the middle still shows a few rows.
constexpr int minimumScrollHeight = 80;

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

QLabel* note(QWidget* parent, TextStyle style = TextStyle::caption) {
    QLabel* label = Theme::label(parent, style, Theme::Tone::secondary);
    label->setWordWrap(true);
    label->hide();
    return label;
}

// The widgets Tab reaches under `widget`, in the order its layouts show them: top to bottom, and left
// to right within a row.
void collectTabStops(QWidget* widget, std::vector<QWidget*>& stops);

void collectTabStops(QLayout* layout, std::vector<QWidget*>& stops) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* child = item->widget()) {
            collectTabStops(child, stops);
        } else if (QLayout* inner = item->layout()) {
            collectTabStops(inner, stops);
        }
    }
}

void collectTabStops(QWidget* widget, std::vector<QWidget*>& stops) {
    if ((widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
        stops.push_back(widget);
    }
    if (auto* scroll = qobject_cast<QScrollArea*>(widget)) {
        if (scroll->widget()) {
            collectTabStops(scroll->widget(), stops);
        }
    } else if (auto* stack = qobject_cast<QStackedWidget*>(widget)) {
        for (int i = 0; i < stack->count(); ++i) {
            collectTabStops(stack->widget(i), stops);
        }
    } else if (widget->layout()) {
        collectTabStops(widget->layout(), stops);
    }
}

QFont semibold(QFont font) {
    font.setWeight(QFont::DemiBold);
    return font;
}

} // namespace

PopoverView::PopoverView(AppModel& model, bool showsDebug, PopoverActions actions, WallClock clock,
                         QWidget* parent)
    : QWidget(parent), model_(model), showsDebug_(showsDebug), actions_(std::move(actions)),
      clock_(std::move(clock)), refresher_(new CoalescedRefresh(*this, [this] { refresh(); })) {
    setFixedWidth(width);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    column->addWidget(divider(this));
    scroll_ = new FittingScrollView(popoverScrollMaxHeight, buildContent(), this);
    column->addWidget(scroll_);
    column->addWidget(divider(this));
    footer_ = new PopoverFooter(model_, actions_, showsDebug_, this);
    column->addWidget(footer_);

    for (const auto signal :
         {&AppModel::stateChanged, &AppModel::scoreChanged, &AppModel::cpuLoadChanged, &AppModel::thermalChanged,
          &AppModel::lineChanged, &AppModel::forcedStateChanged, &AppModel::restPhaseChanged,
          &AppModel::suppressionNoteChanged, &AppModel::momentaryFaceChanged, &AppModel::isDozingChanged,
          &AppModel::isPopoverOpenChanged, &AppModel::displayOptionsChanged, &AppModel::samplingFailedChanged,
          &AppModel::coolDownChanged, &AppModel::headsUpMessageChanged, &AppModel::activeReminderChanged,
          &AppModel::eveningSummaryChanged, &AppModel::wrappedReadyChanged, &AppModel::activeChallengeChanged,
          &AppModel::statsSeeded, &AppModel::folderGrowthChanged, &AppModel::debugReadoutChanged}) {
        connect(&model_, signal, this, [this] { refresher_->request(); });
    }
    BlameModel& blame = model_.blame();
    for (const auto signal :
         {&BlameModel::topAppsChanged, &BlameModel::culpritChanged, &BlameModel::blameLineChanged,
          &BlameModel::confirmingQuitChanged, &BlameModel::quitMessageChanged, &BlameModel::ignoredNamesChanged,
          &BlameModel::systemPartsChanged, &BlameModel::memoryAppsChanged}) {
        connect(&blame, signal, this, [this] { refresher_->request(); });
    }
    refresh();
    orderTabs();
}

PopoverView::PopoverView(AppModel& model, PopoverActions actions, QWidget* parent)
    : PopoverView(model, false, std::move(actions), WallClock::system(), parent) {}

PopoverView::~PopoverView() = default;

QWidget* PopoverView::buildHeader() {
    auto* area = new QWidget(this);
    auto* stack = new QVBoxLayout(area);
    stack->setContentsMargins(16, 16, 16, 12);
    stack->setSpacing(0);
    normalHeader_ = buildNormalHeader(area);
    stack->addWidget(normalHeader_);
    // The break's cards follow the model themselves; the popover only picks the one on show.
    coolDown_ = new CoolDownView(model_, area);
    restPrompt_ = new RestPromptView(model_, area);
    nap_ = new NapView(model_, area);
    for (QWidget* card : {static_cast<QWidget*>(coolDown_), static_cast<QWidget*>(restPrompt_),
                          static_cast<QWidget*>(nap_)}) {
        card->hide();
        stack->addWidget(card);
    }
    return area;
}

QWidget* PopoverView::buildNormalHeader(QWidget* parent) {
    auto* header = new QWidget(parent);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    pea_ = new CursorPeaView(model_.styled(model_.popoverFaceWithoutStyle()), PeaStyle{false, model_.increaseContrast()},
                             false, header);
    pea_->setFixedSize(64, 64);
    pea_->onClick = [this] { model_.pokePea(); };
    row->addWidget(pea_, 0, Qt::AlignVCenter);

    auto* lines = new QVBoxLayout;
    lines->setSpacing(4);
    title_ = Theme::label(header, TextStyle::headline);
    title_->setWordWrap(true);
    lines->addWidget(title_);
    auto* heatRow = new QHBoxLayout;
    heatRow->setSpacing(8);
    heat_ = Theme::label(header, TextStyle::subheadline);
    heat_->setFont(semibold(heat_->font()));
    heatRow->addWidget(heat_);
    score_ = Theme::figureLabel(header, TextStyle::subheadline);
    heatRow->addWidget(score_);
    heatRow->addStretch(1);
    lines->addLayout(heatRow);
    load_ = Theme::figureLabel(header, TextStyle::caption, Theme::Tone::secondary);
    lines->addWidget(load_);
    row->addLayout(lines, 1);
    return header;
}

QWidget* PopoverView::buildContent() {
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(16, 12, 16, 12);
    stack->setSpacing(10);

    blameLine_ = Theme::label(content, TextStyle::callout);
    blameLine_->setWordWrap(true);
    stack->addWidget(blameLine_);
    auto* whoRow = new QHBoxLayout;
    whoRow->setContentsMargins(0, 2, 0, 2);
    QLabel* who = Theme::label(content, TextStyle::caption, Theme::Tone::secondary);
    who->setText(QStringLiteral("Who's making me sweat"));
    whoRow->addWidget(who);
    whoRow->addStretch(1);
    roast_ = new QPushButton(QStringLiteral("Roast this"), content);
    roast_->setFlat(true);
    roast_->setToolTip(text(Copy::roastMenu));
    QPalette accent = roast_->palette();
    accent.setColor(QPalette::ButtonText, Theme::accent(accent));
    roast_->setPalette(accent);
    connect(roast_, &QPushButton::clicked, this, [this] { PopoverActions::call(actions_.openRoast); });
    whoRow->addWidget(roast_);
    // Only where this build has the roast window.
    roast_->setVisible(static_cast<bool>(actions_.openRoast));
    stack->addLayout(whoRow);

    blameList_ = new BlameList(model_.blame(), model_.appDirectory(), content);
    blameList_->onIgnore = [this](const AppKey& key) { ignore(key); };
    stack->addWidget(blameList_);
    ignored_ = new IgnoredAppsView(content);
    ignored_->onShowAgain = [this](const std::string& id) {
        BlameModel& blame = model_.blame();
        auto names = blame.ignoredNames();
        names.erase(id);
        blame.setIgnoredNames(std::move(names));
        blame.saveIgnored();
        refreshBlameNow();
    };
    ignored_->onShowAllAgain = [this] {
        model_.blame().setIgnoredNames({});
        model_.blame().saveIgnored();
        refreshBlameNow();
    };
    stack->addWidget(ignored_);
    quitMessage_ = note(content);
    stack->addWidget(quitMessage_);

    cardSlot_ = new PopoverCardSlot(model_, actions_, content);
    stack->addWidget(cardSlot_);
    habitStrip_ = new HabitStripView(
        model_, [this] { PopoverActions::call(actions_.openHistory); }, clock_.now, content);
    stack->addWidget(habitStrip_);
    vitalsRow_ = new QWidget(content);
    auto* vitalsRow = new QHBoxLayout(vitalsRow_);
    vitalsRow->setContentsMargins(0, 0, 0, 0);
    vitalsRow->addStretch(1);
    vitalsLink_ = new LinkButton(vitalsRow_);
    vitalsLink_->setToolTip(text(Copy::vitalsMenu));
    connect(vitalsLink_, &LinkButton::clicked, this, [this] { PopoverActions::call(actions_.openVitals); });
    vitalsRow->addWidget(vitalsLink_);
    stack->addWidget(vitalsRow_);

    suppression_ = note(content);
    stack->addWidget(suppression_);
    samplingNote_ = note(content);
    samplingNote_->setText(QStringLiteral("The system sampler stopped answering. I'll keep trying and pick the "
                                          "face back up when it does."));
    stack->addWidget(samplingNote_);
    debugReadout_ = note(content, TextStyle::caption2);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(Theme::pixelSize(TextStyle::caption2));
    debugReadout_->setFont(mono);
    stack->addWidget(debugReadout_);
    forcedNote_ = Theme::label(content, TextStyle::caption);
    forcedNote_->setText(QStringLiteral("Forced from the Debug menu"));
    Theme::setTextColour(*forcedNote_, Theme::colour(Theme::Colour::orange, forcedNote_->palette()));
    forcedNote_->hide();
    stack->addWidget(forcedNote_);
    stack->addStretch(1);
    return content;
}

void PopoverView::refresh() {
    ++refreshCount_;
    PopoverSnapshot snapshot = PopoverSnapshot::of(model_, showsDebug_);
    // The weekly summary is offered only where this build has its window.
    snapshot.wrappedReady = snapshot.wrappedReady && actions_.openWrapped;
    layout_ = popoverLayout(snapshot);

    refreshHeader();

    refreshBlame();
    const BlameModel& blame = model_.blame();
    // Sorting the names takes a collator: only when they changed, not on every new figure.
    if (blame.ignoredNames() != ignoredShown_) {
        ignoredShown_ = blame.ignoredNames();
        ignored_->refresh(IgnoredApp::list(ignoredShown_));
    }
    ignored_->setVisible(!blame.ignoredNames().empty());
    Theme::setTextIfChanged(*quitMessage_, PlainText::shown(blame.quitMessage().value_or("")));
    quitMessage_->setVisible(blame.quitMessage().has_value());

    cardSlot_->refresh(layout_.card);
    if (layout_.showsHabitStrip) {
        habitStrip_->refresh();
    } else {
        habitStrip_->hide();
    }
    if (layout_.showsVitalsLink) {
        const QString link =
            QString::fromStdString(vitalsLinkText(model_.folderGrowth(), clock_.now(), clock_.calendar()));
        if (vitalsLink_->text() != link) {
            vitalsLink_->setText(link);
            vitalsLink_->updateGeometry();
        }
    }
    vitalsRow_->setVisible(layout_.showsVitalsLink);

    Theme::setTextIfChanged(*suppression_, PlainText::shown(model_.suppressionNote().value_or("")));
    suppression_->setVisible(layout_.showsSuppressionNote);
    samplingNote_->setVisible(layout_.showsSamplingNote);
    if (layout_.showsDebugReadout) {
        Theme::setTextIfChanged(*debugReadout_, PlainText::shown(model_.debugReadout()));
    }
    debugReadout_->setVisible(layout_.showsDebugReadout);
    forcedNote_->setVisible(layout_.showsForcedNote);
    fitScroll();
}

void PopoverView::setFitHeight(std::optional<int> height) {
    fitHeight_ = height;
    fitScroll();
}

void PopoverView::fitScroll() {
    int maxHeight = layout_.scrollMaxHeight;
    if (fitHeight_) {
        layout()->activate();
        // Everything but the middle keeps its height.
        const int others = layout()->sizeHint().height() - scroll_->height();
        maxHeight = std::clamp(*fitHeight_ - others, std::min(minimumScrollHeight, maxHeight), maxHeight);
    }
    scroll_->setMaxHeight(maxHeight);
    scroll_->fit();
}

void PopoverView::refreshHeader() {
    normalHeader_->setVisible(layout_.header == PopoverHeader::normal);
    coolDown_->setVisible(layout_.header == PopoverHeader::coolDown);
    restPrompt_->setVisible(layout_.header == PopoverHeader::restPrompt);
    nap_->setVisible(layout_.header == PopoverHeader::nap);
    if (layout_.header != PopoverHeader::normal) {
        return;
    }
    pea_->setFace(model_.styled(model_.popoverFaceWithoutStyle()));
    pea_->setStyle(PeaStyle{false, model_.increaseContrast()});
    pea_->setAnimating(model_.isPopoverOpen() && !model_.reduceMotion());
    const QString title = PlainText::shown(popoverTitle(model_.restPhase(), model_.line()));
    Theme::setTextIfChanged(*title_, title);
    title_->setVisible(!title.isEmpty());
    Theme::setTextIfChanged(*heat_, QString::fromUtf8(heatTitles[static_cast<std::size_t>(model_.state())]));
    Theme::setFigureText(*score_, QString::fromStdString(Copy::scoreLabel(model_.score())));
    const auto thermal = model_.thermalSensed() ? std::optional(model_.thermal()) : std::nullopt;
    Theme::setFigureText(*load_, QString::fromStdString(Copy::loadLabel(model_.cpuLoad(), thermal)));
}

bool PopoverView::holdsRowsStill() const {
    return !releaseRowsOnce_ && (pointerInside_ || model_.blame().confirmingQuit().has_value());
}

void PopoverView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    pointerInside_ = true;
}

void PopoverView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pointerInside_ = false;
    refresher_->request();
}

void PopoverView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    pointerInside_ = false;
}

void PopoverView::refreshBlameNow() {
    releaseRowsOnce_ = true;
    model_.blame().refresh();
    refresh();
    releaseRowsOnce_ = false;
}

void PopoverView::refreshBlame() {
    if (holdsRowsStill()) {
        blameList_->refreshFigures();
        return;
    }
    const BlameModel& blame = model_.blame();
    // The line above the rows may wrap differently: it changes only when the rows may move.
    Theme::setTextIfChanged(*blameLine_, PlainText::shown(blame.displayedBlameLine()));
    const bool hasCulprit = blame.culprit().has_value();
    if (blameLine_->font().bold() != hasCulprit) {
        QFont font = blameLine_->font();
        font.setWeight(hasCulprit ? QFont::DemiBold : QFont::Normal);
        blameLine_->setFont(font);
    }
    if (blameList_->refresh(model_.thermal())) {
        orderTabs();
    }
}

void PopoverView::orderTabs() {
    std::vector<QWidget*> stops;
    collectTabStops(this, stops);
    for (std::size_t i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(stops[i - 1], stops[i]);
    }
}

void PopoverView::ignore(const AppKey& key) {
    if (key.kind == AppKey::Kind::system) {
        return;
    }
    BlameModel& blame = model_.blame();
    auto names = blame.ignoredNames();
    names[key.id] = key.displayName;
    blame.setIgnoredNames(std::move(names));
    blame.saveIgnored();
    refreshBlameNow();
}

} // namespace halvrick
