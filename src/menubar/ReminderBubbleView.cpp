#include "menubar/ReminderBubbleView.h"

#include "core/FaceState.h"
#include "model/AppModel.h"
#include "model/Copy.h"
#include "pea/AnimatedPeaView.h"
#include "ui/PlainText.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

constexpr int rowSpacing = 10;

// The card's own words.
const QString snoozeTitle = QStringLiteral("In 10 min");
const QString doneTitle = QStringLiteral("Done");

PeaStyle styleFor(const AppModel& model) {
    return PeaStyle{false, model.increaseContrast()};
}

} // namespace

ReminderBubbleView::ReminderBubbleView(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model), refresher_(*this, [this] { refresh(); }) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    content_ = new QWidget(this);
    outer->addWidget(content_);
    auto* column = new QVBoxLayout(content_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(rowSpacing);

    auto* speech = new QHBoxLayout;
    speech->setSpacing(10);
    // The hello face whatever the heat: the user asked for this, the machine has nothing to do with it.
    pea_ = new AnimatedPeaView(face(FaceState::hello, HeatState::chill), PeaFace::Detail::full,
                               styleFor(model_), !model_.reduceMotion(), std::nullopt, content_);
    pea_->setFixedSize(peaSide, peaSide);
    speech->addWidget(pea_, 0, Qt::AlignVCenter);
    text_ = new WrappedLabel(content_);
    text_->setFont(Theme::font(TextStyle::callout, text_->font()));
    // A text cut to fit the screen keeps its beginning.
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    speech->addWidget(text_, 1, Qt::AlignVCenter);
    column->addLayout(speech);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    snooze_ = new QPushButton(snoozeTitle, content_);
    connect(snooze_, &QPushButton::clicked, this, [this] { model_.snoozeReminder(); });
    buttons->addWidget(snooze_);
    done_ = new QPushButton(doneTitle, content_);
    done_->setDefault(true);
    connect(done_, &QPushButton::clicked, this, [this] { model_.completeReminder(); });
    buttons->addWidget(done_);
    column->addLayout(buttons);

    connect(&model_, &AppModel::activeReminderChanged, this, [this] { refresher_.request(); });
    connect(&model_, &AppModel::displayOptionsChanged, this, [this] { refresher_.request(); });
    refresh();
}

bool ReminderBubbleView::isShowingReminder() const {
    return !content_->isHidden();
}

void ReminderBubbleView::refresh() {
    const std::optional<Reminder>& reminder = model_.activeReminder();
    // A reminder that went away between publishes leaves nothing behind, not its old text.
    content_->setVisible(reminder.has_value());
    Theme::setTextIfChanged(*text_, QString::fromUtf8(Copy::reminderPrefix.data(), Copy::reminderPrefix.size()) +
                                        (reminder ? PlainText::shown(reminder->text) : QString()));
    pea_->setStyle(styleFor(model_));
    pea_->setAnimating(!model_.reduceMotion());
}

void ReminderBubbleView::setFitHeight(std::optional<int> height) {
    if (!height) {
        text_->setMaximumHeight(QWIDGETSIZE_MAX);
        return;
    }
    // The buttons' row keeps its height; the text gets the rest, at least one line of it.
    const int buttons = std::max(snooze_->sizeHint().height(), done_->sizeHint().height());
    const int line = text_->fontMetrics().lineSpacing();
    text_->setMaximumHeight(std::max(line, *height - buttons - rowSpacing));
}

void ReminderBubbleView::setTextLines(std::optional<int> lines) {
    text_->setMaximumLines(lines);
}

void ReminderBubbleView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isShowingReminder()) {
        done_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace halvrick
