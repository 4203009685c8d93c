#include "menubar/PopoverView.h"

#include "core/FaceState.h"
#include "menubar/AnimatedPeaView.h"
#include "menubar/BlameRows.h"
#include "menubar/FittingScrollView.h"
#include "menubar/Theme.h"
#include "model/AppModel.h"
#include "model/Copy.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace halvrick {

namespace {

constexpr std::array<const char*, 4> heatTitles{"Chill", "Warm", "Sweating", "Meltdown"};

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

} // namespace

PopoverView::PopoverView(AppModel& model, PopoverActions actions, QWidget* parent)
    : QWidget(parent), model_(model), actions_(std::move(actions)) {
    setFixedWidth(width);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QWidget(this);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(16, 16, 16, 12);
    headerRow->setSpacing(12);
    pea_ = new AnimatedPeaView(model_.styled(model_.popoverFaceWithoutStyle()), PeaFace::Detail::full,
                               PeaStyle{false, model_.increaseContrast()}, false, std::nullopt, header);
    pea_->setFixedSize(64, 64);
    headerRow->addWidget(pea_);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(4);
    title_ = Theme::label(header, TextStyle::headline);
    title_->setWordWrap(true);
    lines->addWidget(title_);
    heat_ = Theme::label(header, TextStyle::subheadline);
    heat_->setTextFormat(Qt::RichText);
    lines->addWidget(heat_);
    load_ = Theme::label(header, TextStyle::caption, Theme::Tone::secondary);
    lines->addWidget(load_);
    headerRow->addLayout(lines, 1);
    column->addWidget(header);
    column->addWidget(divider(this));

    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(16, 12, 16, 12);
    stack->setSpacing(10);
    blameLine_ = Theme::label(content, TextStyle::callout);
    blameLine_->setWordWrap(true);
    stack->addWidget(blameLine_);
    auto* whoRow = new QHBoxLayout;
    QLabel* who = Theme::label(content, TextStyle::caption, Theme::Tone::secondary);
    who->setText(QStringLiteral("Who's making me sweat"));
    whoRow->addWidget(who);
    whoRow->addStretch(1);
    stack->addLayout(whoRow);
    rowsBox_ = new QWidget(content);
    auto* rowsLayout = new QVBoxLayout(rowsBox_);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(10);
    stack->addWidget(rowsBox_);
    systemParts_ = new SystemPartsView(rowsBox_);
    systemParts_->hide();
    ignored_ = new IgnoredAppsView(content);
    ignored_->onShowAgain = [this](const std::string& id) {
        auto names = model_.ignoredNames();
        names.erase(id);
        model_.setIgnoredNames(std::move(names));
        model_.saveIgnored();
        model_.refreshBlame();
    };
    ignored_->onShowAllAgain = [this] {
        model_.setIgnoredNames({});
        model_.saveIgnored();
        model_.refreshBlame();
    };
    stack->addWidget(ignored_);
    quitMessage_ = Theme::label(content, TextStyle::caption, Theme::Tone::secondary);
    quitMessage_->setWordWrap(true);
    stack->addWidget(quitMessage_);
    headsUp_ = Theme::label(content, TextStyle::callout);
    headsUp_->setWordWrap(true);
    headsUp_->setMargin(10);
    headsUp_->setStyleSheet(QStringLiteral("background: rgba(255, 149, 0, 38); border-radius: 10px;"));
    stack->addWidget(headsUp_);

    vitalsLink_ = new QPushButton(QStringLiteral("What changed…  ›"), content);
    vitalsLink_->setFlat(true);
    vitalsLink_->setToolTip(QString::fromUtf8(Copy::vitalsMenu.data(), Copy::vitalsMenu.size()));
    connect(vitalsLink_, &QPushButton::clicked, this, [this] {
        if (actions_.openVitals) {
            actions_.openVitals();
        }
    });
    stack->addWidget(vitalsLink_, 0, Qt::AlignRight);
    suppression_ = Theme::label(content, TextStyle::caption, Theme::Tone::secondary);
    suppression_->setWordWrap(true);
    stack->addWidget(suppression_);
    samplingNote_ = Theme::label(content, TextStyle::caption, Theme::Tone::secondary);
    samplingNote_->setWordWrap(true);
    samplingNote_->setText(QStringLiteral("The system sampler stopped answering. I'll keep trying and pick the "
                                          "face back up when it does."));
    stack->addWidget(samplingNote_);
    forcedNote_ = Theme::label(content, TextStyle::caption);
    forcedNote_->setText(QStringLiteral("Forced from the Debug menu"));
    Theme::setTextColour(*forcedNote_, Theme::colour(Theme::Colour::orange, forcedNote_->palette()));
    stack->addWidget(forcedNote_);
    stack->addStretch(1);

    scroll_ = new FittingScrollView(scrollMaxHeight, content, this);
    column->addWidget(scroll_);
    column->addWidget(divider(this));

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(16, 8, 16, 8);
    footer->setSpacing(8);
    footer->addStretch(1);
    auto* settings = new QPushButton(QStringLiteral("Settings…"), this);
    settings->setFlat(true);
    connect(settings, &QPushButton::clicked, this, [this] {
        if (actions_.openSettings) {
            actions_.openSettings();
        }
    });
    footer->addWidget(settings);
    column->addLayout(footer);

    for (const auto signal :
         {&AppModel::stateChanged, &AppModel::scoreChanged, &AppModel::cpuLoadChanged, &AppModel::thermalChanged,
          &AppModel::lineChanged, &AppModel::forcedStateChanged, &AppModel::topAppsChanged,
          &AppModel::culpritChanged, &AppModel::blameLineChanged, &AppModel::confirmingQuitChanged,
          &AppModel::quitMessageChanged, &AppModel::ignoredNamesChanged, &AppModel::systemPartsChanged,
          &AppModel::restPhaseChanged, &AppModel::suppressionNoteChanged, &AppModel::momentaryFaceChanged,
          &AppModel::isDozingChanged, &AppModel::isPopoverOpenChanged, &AppModel::displayOptionsChanged,
          &AppModel::samplingFailedChanged, &AppModel::coolDownChanged, &AppModel::memoryAppsChanged,
          &AppModel::headsUpMessageChanged}) {
        connect(&model_, signal, this, &PopoverView::scheduleRefresh);
    }
    refresh();
}

PopoverView::~PopoverView() = default;

void PopoverView::scheduleRefresh() {
    if (refreshPending_) {
        return;
    }
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending_) {
            refresh();
        }
    });
}

void PopoverView::refresh() {
    refreshPending_ = false;
    ++refreshCount_;
    const HeatState state = model_.state();
    const bool restFlow = model_.coolDown() || model_.restPhase() == RestPhase::prompting ||
                          model_.restPhase() == RestPhase::resting;

    pea_->setFace(model_.styled(model_.popoverFaceWithoutStyle()));
    pea_->setStyle(PeaStyle{false, model_.increaseContrast()});
    pea_->setAnimating(model_.isPopoverOpen() && !model_.reduceMotion());
    const QString title = model_.restPhase() == RestPhase::breakTaken
                              ? QStringLiteral("All rested. Come back whenever 😌")
                              : QString::fromStdString(model_.line());
    Theme::setTextIfChanged(*title_, title);
    title_->setVisible(!title.isEmpty());
    Theme::setTextIfChanged(*heat_, QStringLiteral("<b>%1</b>&nbsp;&nbsp;%2")
                                 .arg(QString::fromUtf8(heatTitles[static_cast<int>(state)]),
                                      QString::fromStdString(Copy::scoreLabel(model_.score())).toHtmlEscaped()));
    Theme::setTextIfChanged(*load_, QString::fromStdString(Copy::loadLabel(model_.cpuLoad(), model_.thermal())));

    Theme::setTextIfChanged(*blameLine_, QString::fromStdString(model_.displayedBlameLine()));
    if (blameLine_->font().bold() != model_.culprit().has_value()) {
        QFont font = blameLine_->font();
        font.setBold(model_.culprit().has_value());
        blameLine_->setFont(font);
    }
    refreshBlame();
    Theme::setTextIfChanged(*quitMessage_, QString::fromStdString(model_.quitMessage().value_or("")));
    quitMessage_->setVisible(model_.quitMessage().has_value());
    const auto& headsUp = model_.headsUpMessage();
    Theme::setTextIfChanged(*headsUp_, QString::fromStdString(headsUp.value_or("")));
    headsUp_->setVisible(!restFlow && headsUp.has_value());
    Theme::setTextIfChanged(*suppression_, QString::fromStdString(model_.suppressionNote().value_or("")));
    suppression_->setVisible(model_.suppressionNote().has_value());
    ignored_->refresh(IgnoredAppsView::ignoredList(model_.ignoredNames()));
    ignored_->setVisible(!model_.ignoredNames().empty());
    vitalsLink_->setVisible(!model_.coolDown() && !restFlow && model_.restPhase() != RestPhase::snoozed);
    samplingNote_->setVisible(model_.samplingFailed());
    forcedNote_->setVisible(model_.forcedState().has_value());
    scroll_->setMaxHeight(restFlow ? restFlowScrollMaxHeight : scrollMaxHeight);
    scroll_->fit();
}

void PopoverView::refreshBlame() {
    const std::vector<AppShare>& top = model_.topApps();
    const std::optional<AppShare>& culprit = model_.culprit();

    // Rows of keys that left the list go; the others stay as they are, so hover and focus survive.
    for (auto it = rows_.begin(); it != rows_.end();) {
        const bool listed = std::any_of(top.begin(), top.end(), [&](const AppShare& s) { return s.app == it->first; });
        if (listed) {
            ++it;
        } else {
            delete it->second;
            it = rows_.erase(it);
        }
    }
    auto* layout = static_cast<QVBoxLayout*>(rowsBox_->layout());
    layout->removeWidget(systemParts_);
    int position = 0;
    bool partsShown = false;
    for (const AppShare& entry : top) {
        BlameRow*& row = rows_[entry.app];
        if (!row) {
            row = new BlameRow(entry.app, model_.appDirectory(), rowsBox_);
            row->onIgnore = [this](const AppKey& key) { ignore(key); };
            row->onQuit = [this](const AppKey& key) {
                if (key.kind == AppKey::Kind::app) {
                    model_.setConfirmingQuit(key);
                }
            };
            row->onCancel = [this] { model_.setConfirmingQuit(std::nullopt); };
            row->onConfirm = [this] { model_.confirmQuit(); };
        }
        row->refresh(entry, culprit && culprit->app == entry.app, model_.confirmingQuit() == entry.app);
        if (layout->indexOf(row) != position) {
            layout->removeWidget(row);
            layout->insertWidget(position, row);
        }
        row->show();
        ++position;
        if (entry.app.kind == AppKey::Kind::system && !model_.systemParts().empty()) {
            layout->insertWidget(position++, systemParts_);
            systemParts_->refresh(model_.systemParts(), model_.thermal());
            partsShown = true;
        }
    }
    systemParts_->setVisible(partsShown);
    rowsBox_->setVisible(!top.empty());
}

std::vector<AppKey> PopoverView::rowOrder() const {
    std::vector<AppKey> order;
    const QLayout* layout = rowsBox_->layout();
    for (int i = 0; i < layout->count(); ++i) {
        if (const auto* row = qobject_cast<const BlameRow*>(layout->itemAt(i)->widget())) {
            order.push_back(row->key());
        }
    }
    return order;
}

void PopoverView::ignore(const AppKey& key) {
    if (key.kind == AppKey::Kind::system) {
        return;
    }
    auto names = model_.ignoredNames();
    names[key.id] = key.displayName;
    model_.setIgnoredNames(std::move(names));
    model_.saveIgnored();
    model_.refreshBlame();
}

} // namespace halvrick
