#include "menubar/NapView.h"

#include "model/AppModel.h"
#include "model/Copy.h"
#include "ui/RingDial.h"
#include "ui/Theme.h"

#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace halvrick {

namespace {

// The card's own words.
const QString napTitle = QStringLiteral("Shh. Recovering.");
const QString almostThere = QStringLiteral("Almost there…");
const QString endTitle = QStringLiteral("End break");
const QString breakEnded = QStringLiteral("Break ended.");

PeaStyle styleFor(const AppModel& model) {
    return PeaStyle{false, model.increaseContrast()};
}

// The popover's own pea dozes along only while someone can see it.
bool animates(const AppModel& model) {
    return model.isPopoverOpen() && !model.reduceMotion();
}

} // namespace

NapView::NapView(AppModel& model, QWidget* parent, std::shared_ptr<Announcer> announcer)
    : QWidget(parent), model_(model), announcer_(std::move(announcer)),
      refresher_(*this, [this] { refresh(); }) {
    if (!announcer_) {
        announcer_ = std::make_shared<AccessibleAnnouncer>(*this);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    dial_ = new RingDial(Theme::Colour::green, true, model_.styled(model_.popoverFaceWithoutStyle()),
                         styleFor(model_), animates(model_), this);
    column->addWidget(dial_, 0, Qt::AlignHCenter);

    QLabel* title = Theme::label(this, TextStyle::headline);
    title->setText(napTitle);
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title);

    countdown_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    countdown_->setAlignment(Qt::AlignHCenter);
    countdown_->setWordWrap(true);
    column->addWidget(countdown_);

    end_ = new QPushButton(endTitle, this);
    end_->setToolTip(endTitle);
    connect(end_, &QPushButton::clicked, this, &NapView::endBreak);
    column->addWidget(end_, 0, Qt::AlignHCenter);

    const auto request = [this] { refresher_.request(); };
    for (const auto signal :
         {&AppModel::restRemainingChanged, &AppModel::restPhaseChanged, &AppModel::isPopoverOpenChanged,
          &AppModel::displayOptionsChanged, &AppModel::stateChanged, &AppModel::momentaryFaceChanged,
          &AppModel::coolDownChanged, &AppModel::samplingFailedChanged, &AppModel::isDozingChanged}) {
        connect(&model_, signal, this, request);
    }
    connect(&model_.settings(), &SettingsStore::personalityChanged, this, request);
    refresh();
}

double NapView::progress(std::optional<double> remaining, double required) {
    // A required time of zero (or nonsense) has nothing to fill against.
    if (!remaining || !(required > 0)) {
        return 0;
    }
    const double done = 1 - *remaining / required;
    return std::isnan(done) ? 0 : std::clamp(done, 0.0, 1.0);
}

void NapView::refresh() {
    const std::optional<double> remaining = model_.restRemaining();
    dial_->setProgress(progress(remaining, model_.config().restRequiredIdle));
    AnimatedPeaView& pea = dial_->pea();
    pea.setFace(model_.styled(model_.popoverFaceWithoutStyle()));
    pea.setStyle(styleFor(model_));
    pea.setAnimating(animates(model_));
    Theme::setTextIfChanged(*countdown_, countdownText(remaining));
}

QString NapView::countdownText(std::optional<double> remaining) {
    return remaining && *remaining > 0 ? QString::fromStdString(Copy::restCountdown(*remaining))
                                       : almostThere;
}

void NapView::endBreak() {
    // A card left over from a break that already ended touches nothing and says nothing.
    if (model_.restPhase() != RestPhase::resting) {
        return;
    }
    model_.handleRestEvents(model_.coach().cancel(), false);
    announcer_->announce(breakEnded);
}

} // namespace halvrick
