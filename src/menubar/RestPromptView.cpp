#include "menubar/RestPromptView.h"

#include "core/FaceState.h"
#include "model/AppModel.h"
#include "model/Copy.h"
#include "pea/AnimatedPeaView.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

// The card's own words.
const QString notNowTitle = QStringLiteral("Not now");
const QString snoozeTitle = QStringLiteral("Snooze 15 min");
const QString restTitle = QStringLiteral("Let's rest (2 min)");
const QString breatheTitle = QStringLiteral("Breathe instead (1 min)");

// The three answers share one row of a 320-point bubble: a push button's usual minimum width and margins
// would push the last one out, so these take the small control size and only the width their text needs.
class AnswerButton : public QPushButton {
public:
    static constexpr int sidePadding = 8;

    AnswerButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
        setFont(Theme::font(TextStyle::callout, font(), true));
    }

    QSize sizeHint() const override {
        const QSize natural = QPushButton::sizeHint();
        const int compact = fontMetrics().horizontalAdvance(text()) + 2 * sidePadding;
        return {std::min(natural.width(), compact), natural.height()};
    }
    // Never narrower than the text: a row that cannot fit widens its host instead of cutting a label.
    QSize minimumSizeHint() const override { return sizeHint(); }
};

PeaFace tiredFace(const AppModel& model) {
    return face(FaceState::tired, model.state());
}

} // namespace

RestPromptView::RestPromptView(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model), refresher_(*this, [this] { refresh(); }) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    pea_ = new AnimatedPeaView(tiredFace(model_), PeaFace::Detail::full,
                               PeaStyle{false, model_.increaseContrast()}, !model_.reduceMotion(),
                               std::nullopt, this);
    pea_->setFixedSize(peaSide, peaSide);
    column->addWidget(pea_, 0, Qt::AlignHCenter);

    request_ = Theme::label(this, TextStyle::headline);
    request_->setWordWrap(true);
    request_->setAlignment(Qt::AlignHCenter);
    request_->setTextFormat(Qt::PlainText);
    column->addWidget(request_);

    const auto answer = [this](std::vector<RestEvent> (RestCoach::*call)()) {
        return [this, call] { model_.handleRestEvents((model_.coach().*call)(), true); };
    };
    auto* answers = new QHBoxLayout;
    answers->setSpacing(12);
    answers->addStretch(1);
    notNow_ = new AnswerButton(notNowTitle, this);
    connect(notNow_, &QPushButton::clicked, this, answer(&RestCoach::notNow));
    answers->addWidget(notNow_);
    snooze_ = new AnswerButton(snoozeTitle, this);
    connect(snooze_, &QPushButton::clicked, this, answer(&RestCoach::snooze));
    answers->addWidget(snooze_);
    rest_ = new AnswerButton(restTitle, this);
    rest_->setDefault(true);
    connect(rest_, &QPushButton::clicked, this, answer(&RestCoach::acceptRest));
    answers->addWidget(rest_);
    answers->addStretch(1);
    column->addLayout(answers);

    breathe_ = new QPushButton(breatheTitle, this);
    breathe_->setFlat(true);
    breathe_->setCursor(Qt::PointingHandCursor);
    // The model answers the prompt itself when the cool-down starts.
    connect(breathe_, &QPushButton::clicked, this, [this] { model_.startCoolDown(); });
    column->addSpacing(4);
    column->addWidget(breathe_, 0, Qt::AlignHCenter);
    column->addSpacing(4);

    const auto request = [this] { refresher_.request(); };
    connect(&model_, &AppModel::stateChanged, this, request);
    connect(&model_, &AppModel::displayOptionsChanged, this, request);
    connect(&model_, &AppModel::restPhaseChanged, this, request);
    // The coach takes a changed rest interval on the next tick.
    connect(&model_, &AppModel::cpuLoadChanged, this, request);
    connect(&model_.settings(), &SettingsStore::personalityChanged, this, request);
    refresh();
}

void RestPromptView::refresh() {
    pea_->setFace(tiredFace(model_));
    pea_->setStyle(PeaStyle{false, model_.increaseContrast()});
    // Unlike the popover's own pea, this one moves in the bubble too.
    pea_->setAnimating(!model_.reduceMotion());
    Theme::setTextIfChanged(*request_,
                            QString::fromStdString(Copy::restPrompt(model_.coach().config().restInterval,
                                                                    model_.settings().personality())));
}

void RestPromptView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        rest_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace halvrick
