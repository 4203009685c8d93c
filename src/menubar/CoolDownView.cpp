#include "menubar/CoolDownView.h"

#include "model/AppModel.h"
#include "model/Copy.h"
#include "ui/RingDial.h"
#include "ui/Theme.h"

#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace halvrick {

namespace {

// The card's own words.
const QString afterwards = QStringLiteral("There. Better.");
const QString roundOf = QStringLiteral("Round %1 of %2");
const QString stopTitle = QStringLiteral("Stop");
const QString doneTitle = QStringLiteral("Done");

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

PeaStyle styleFor(const AppModel& model) {
    return PeaStyle{false, model.increaseContrast()};
}

bool animates(const AppModel& model) {
    return model.isPopoverOpen() && !model.reduceMotion();
}

} // namespace

CoolDownView::Display CoolDownView::display(const std::optional<CoolDownState>& coolDown, bool reduceMotion) {
    const double elapsed = coolDown ? coolDown->elapsed : 0;
    Display shown;
    const double progress = elapsed / CoolDownPattern::totalSeconds;
    shown.progress = std::isnan(progress) ? 0 : std::clamp(progress, 0.0, 1.0);
    shown.position = CoolDownPattern::stage(elapsed);
    const bool exhaling = shown.position && shown.position->stage == CoolDownPattern::Stage::exhale;
    shown.peaScale = reduceMotion || exhaling ? 1.0 : swollenScale;
    shown.isOver = !coolDown || coolDown->isFinished;
    return shown;
}

QString CoolDownView::stepText(const std::optional<CoolDownPattern::Position>& position) {
    return position ? QString::fromStdString(Copy::coolDownStage(position->stage, position->remaining))
                    : afterwards;
}

CoolDownView::CoolDownView(AppModel& model, QWidget* parent, std::shared_ptr<Announcer> announcer)
    : QWidget(parent), model_(model), announcer_(std::move(announcer)),
      refresher_(*this, [this] { refresh(); }) {
    if (!announcer_) {
        announcer_ = std::make_shared<AccessibleAnnouncer>(*this);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    dial_ = new RingDial(Theme::Colour::blue, false, model_.styled(model_.popoverFaceWithoutStyle()),
                         styleFor(model_), animates(model_), this);
    dial_->setAccessibleName(qt(Copy::coolDownTitle));
    column->addWidget(dial_, 0, Qt::AlignHCenter);

    QLabel* title = Theme::label(this, TextStyle::headline);
    title->setText(qt(Copy::coolDownTitle));
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title);

    step_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    step_->setAlignment(Qt::AlignHCenter);
    column->addWidget(step_);
    round_ = Theme::label(this, TextStyle::caption, Theme::Tone::tertiary);
    round_->setAlignment(Qt::AlignHCenter);
    column->addWidget(round_);

    button_ = new QPushButton(this);
    connect(button_, &QPushButton::clicked, this, [this] { model_.stopCoolDown(); });
    column->addWidget(button_, 0, Qt::AlignHCenter);

    const auto request = [this] { refresher_.request(); };
    for (const auto signal :
         {&AppModel::coolDownChanged, &AppModel::isPopoverOpenChanged, &AppModel::displayOptionsChanged,
          &AppModel::stateChanged, &AppModel::momentaryFaceChanged, &AppModel::restPhaseChanged,
          &AppModel::samplingFailedChanged, &AppModel::isDozingChanged}) {
        connect(&model_, signal, this, request);
    }
    connect(&model_.settings(), &SettingsStore::personalityChanged, this, request);
    refresh();
}

void CoolDownView::refresh() {
    const Display shown = display(model_.coolDown(), model_.reduceMotion());
    // Without an exercise the card shows the first step, but nothing is going on to be said.
    const std::optional<CoolDownPattern::Stage> stage =
        model_.coolDown() && shown.position ? std::optional(shown.position->stage) : std::nullopt;
    const QString step = stepText(shown.position);

    dial_->setProgress(shown.progress);
    dial_->setPeaScale(shown.peaScale, !model_.reduceMotion());
    AnimatedPeaView& pea = dial_->pea();
    pea.setFace(model_.styled(model_.popoverFaceWithoutStyle()));
    pea.setStyle(styleFor(model_));
    pea.setAnimating(animates(model_));
    if (dial_->accessibleDescription() != step) {
        dial_->setAccessibleDescription(step);
    }

    Theme::setTextIfChanged(*step_, step);
    round_->setVisible(shown.position.has_value());
    if (shown.position) {
        Theme::setTextIfChanged(*round_, roundOf.arg(shown.position->round).arg(CoolDownPattern::rounds));
    }
    isOver_ = shown.isOver;
    button_->setText(isOver_ ? doneTitle : stopTitle);
    button_->setDefault(isOver_);

    // A new step while one was already on show is said aloud; the first step and the end are not (the
    // model says "There. Better." itself).
    if (stage && shownStage_ && *stage != *shownStage_) {
        announcer_->announce(step);
    }
    shownStage_ = stage;
}

void CoolDownView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isOver_) {
        button_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace halvrick
