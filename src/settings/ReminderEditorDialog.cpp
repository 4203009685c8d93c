#include "settings/ReminderEditorDialog.h"

#include "settings/BoundedStepSpinBox.h"
#include "settings/TimeOfDay.h"
#include "ui/SegmentedControl.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

constexpr int contentWidth = 360;
constexpr int padding = 20;
constexpr int spacing = 14;
// Any number can be typed, so that 0 or less shows why "Save" is off and a long interval is kept.
constexpr int typingLimit = 99999;
constexpr int stepMaximum = 1440;

} // namespace

ReminderEditorDialog::ReminderEditorDialog(const Reminder& reminder, QWidget* parent)
    : QDialog(parent), state_(ReminderEditorState::editing(reminder)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Reminder"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(spacing);
    column->setSizeConstraint(QLayout::SetFixedSize);

    QLabel* title = Theme::label(this, TextStyle::headline);
    title->setText(QStringLiteral("Remind me to…"));
    column->addWidget(title);

    text_ = new QLineEdit(this);
    text_->setPlaceholderText(QStringLiteral("Drink water"));
    text_->setText(QString::fromStdString(state_.draft.text));
    text_->setFixedWidth(contentWidth);
    column->addWidget(text_);

    kind_ = new SegmentedControl({QStringLiteral("Every few minutes"), QStringLiteral("Every day at")}, this);
    column->addWidget(kind_);

    schedule_ = new QStackedWidget(this);
    auto* every = new QWidget(schedule_);
    auto* everyRow = new QHBoxLayout(every);
    everyRow->setContentsMargins(0, 0, 0, 0);
    everyRow->addWidget(new QLabel(QStringLiteral("Every"), every));
    minutes_ = new BoundedStepSpinBox(-typingLimit, typingLimit, 1, stepMaximum, 5, every);
    minutes_->setValue(static_cast<int>(std::clamp<std::int64_t>(state_.minutes, -typingLimit, typingLimit)));
    everyRow->addWidget(minutes_);
    everyRow->addWidget(new QLabel(QStringLiteral("min at the computer"), every));
    everyRow->addStretch(1);
    schedule_->addWidget(every);

    auto* daily = new QWidget(schedule_);
    auto* dailyRow = new QHBoxLayout(daily);
    dailyRow->setContentsMargins(0, 0, 0, 0);
    dailyRow->addWidget(new QLabel(QStringLiteral("At"), daily));
    time_ = TimeOfDay::makeEdit(daily);
    TimeOfDay::show(*time_, state_.minuteOfDay);
    dailyRow->addWidget(time_);
    dailyRow->addStretch(1);
    schedule_->addWidget(daily);
    column->addWidget(schedule_);

    auto* buttons = new QHBoxLayout;
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setAutoDefault(false);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    save_ = new QPushButton(QStringLiteral("Save"), this);
    save_->setDefault(true);
    buttons->addWidget(save_);
    column->addLayout(buttons);

    connect(text_, &QLineEdit::textChanged, this, [this](const QString& text) {
        state_.draft.text = text.toStdString();
        showKind();
    });
    connect(kind_, &SegmentedControl::currentChanged, this, [this](int index) {
        state_.kind = index == 0 ? ReminderEditorState::Kind::every : ReminderEditorState::Kind::daily;
        showKind();
    });
    // "Save" follows the interval once it is typed in full, not each half-typed number on the way.
    connect(minutes_, &QSpinBox::valueChanged, this, [this](int value) {
        state_.minutes = value;
        showKind();
    });
    connect(time_, &QTimeEdit::timeChanged, this, [this](QTime time) {
        state_.minuteOfDay = TimeOfDay::minuteOf(time);
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(save_, &QPushButton::clicked, this, &ReminderEditorDialog::accept);
    showKind();
}

void ReminderEditorDialog::accept() {
    if (canSave(state_)) {
        QDialog::accept();
    }
}

void ReminderEditorDialog::showKind() {
    const bool every = state_.kind == ReminderEditorState::Kind::every;
    kind_->setCurrentIndex(every ? 0 : 1);
    schedule_->setCurrentIndex(every ? 0 : 1);
    save_->setEnabled(canSave(state_));
}

} // namespace halvrick
