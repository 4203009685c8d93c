#include "settings/FocusPane.h"

#include "core/Uuid.h"
#include "model/SettingsStore.h"
#include "settings/BoundedStepSpinBox.h"
#include "settings/ReminderRow.h"
#include "settings/SettingsBindings.h"
#include "settings/SettingsForm.h"
#include "settings/TimeOfDay.h"
#include "ui/Theme.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <limits>

namespace halvrick {

namespace {

constexpr std::int64_t newReminderMinutes = 30;
// Any number can be typed; the interval is clamped when it is stored.
constexpr int intervalTypingLimit = 99999;

// A labelled time field on a row of its own, and the field.
QTimeEdit* addTimeRow(QVBoxLayout& section, const QString& label) {
    QBoxLayout* row = SettingsForm::addRow(section);
    auto* title = new QLabel(label);
    row->addWidget(title);
    QTimeEdit* edit = TimeOfDay::makeEdit(nullptr);
    title->setBuddy(edit);
    row->addWidget(edit);
    row->addStretch(1);
    return edit;
}

Reminder newReminder() {
    const Uuid id = Uuid::random([](std::size_t n) {
        return static_cast<std::size_t>(QRandomGenerator::system()->bounded(static_cast<quint64>(n)));
    });
    return Reminder(id, std::string(), Reminder::Schedule::every(newReminderMinutes), true);
}

} // namespace

FocusPane::FocusPane(SettingsBindings& bindings, std::function<void(const Reminder&)> editReminder,
                     QWidget* parent)
    : QWidget(parent), bindings_(bindings), editReminder_(std::move(editReminder)) {
    SettingsStore& settings = bindings.settings();
    QVBoxLayout* pane = SettingsForm::makePane(*this);

    QVBoxLayout* breaks = SettingsForm::addSection(*pane, QStringLiteral("Breaks"));
    breaks_ = new QCheckBox(QStringLiteral("Ask me to take breaks"));
    breaks->addWidget(breaks_);
    intervalRow_ = new QWidget;
    auto* intervalRow = new QHBoxLayout(intervalRow_);
    intervalRow->setContentsMargins(0, 0, 0, 0);
    intervalRow->addWidget(new QLabel(QStringLiteral("Every")));
    interval_ = new BoundedStepSpinBox(-intervalTypingLimit, intervalTypingLimit,
                                       static_cast<int>(SettingsStore::restIntervalMinimum),
                                       static_cast<int>(SettingsStore::restIntervalMaximum), 5);
    intervalRow->addWidget(interval_);
    intervalRow->addWidget(new QLabel(QStringLiteral("minutes of use")));
    intervalRow->addStretch(1);
    breaks->addWidget(intervalRow_);
    presetRow_ = new QWidget;
    auto* presetRow = new QHBoxLayout(presetRow_);
    presetRow->setContentsMargins(0, 0, 0, 0);
    presetRow->setSpacing(6);
    for (std::size_t index = 0; index < presets.size(); ++index) {
        auto* button = new QPushButton(QString::number(presets[index]) + QStringLiteral(" min"));
        button->setAutoDefault(false);
        button->setFont(Theme::font(TextStyle::body, button->font(), true));
        presetButtons_[index] = button;
        presetRow->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, minutes = presets[index]] { bindings_.writeInterval(minutes); });
    }
    presetRow->addStretch(1);
    breaks->addWidget(presetRow_);
    heatBreak_ = new QCheckBox(QStringLiteral("Also ask after 20 minutes of Sweating"));
    breaks->addWidget(heatBreak_);

    QVBoxLayout* reminders = SettingsForm::addSection(*pane, QStringLiteral("Reminders"));
    remindersBlurb_ = SettingsForm::caption(
        QStringLiteral("Water, posture, a call at 3. The pea will remind you, in its own words."));
    reminders->addWidget(remindersBlurb_);
    rowsLayout_ = new QVBoxLayout;
    reminders->addLayout(rowsLayout_);
    addReminder_ = new QPushButton(QStringLiteral("Add reminder…"));
    addReminder_->setAutoDefault(false);
    QBoxLayout* addRow = SettingsForm::addRow(*reminders);
    addRow->addWidget(addReminder_);
    addRow->addStretch(1);

    QVBoxLayout* quiet = SettingsForm::addSection(*pane, QStringLiteral("Quiet hours"));
    quietHours_ = new QCheckBox(QStringLiteral("No breaks, reminders or heads-ups during quiet hours"));
    quiet->addWidget(quietHours_);
    quietFrom_ = addTimeRow(*quiet, QStringLiteral("From"));
    quietTo_ = addTimeRow(*quiet, QStringLiteral("To"));

    QVBoxLayout* evening = SettingsForm::addSection(*pane, QStringLiteral("Evening check"));
    evening_ = new QCheckBox(QStringLiteral("Ask me how the day went"));
    evening->addWidget(evening_);
    eveningAt_ = addTimeRow(*evening, QStringLiteral("At"));
    evening->addWidget(SettingsForm::caption(
        QStringLiteral("One quiet check-in with the day's grade and a way into the history.")));

    QVBoxLayout* headsUps = SettingsForm::addSection(*pane, QStringLiteral("Heads-ups"));
    headsUp_ = new QCheckBox(QStringLiteral("Speak up when an app makes me sweat"));
    headsUps->addWidget(headsUp_);
    // No screen Linux drives has a notch to peek out of: the peek's switch would change nothing, so it is
    // not offered (the stored setting stays as it is).
    pane->addStretch(1);

    connect(breaks_, &QCheckBox::clicked, this, [&settings](bool on) { settings.setRestEnabled(on); });
    connect(interval_, &QSpinBox::valueChanged, this, [this](int minutes) { bindings_.writeInterval(minutes); });
    connect(heatBreak_, &QCheckBox::clicked, this, [&settings](bool on) { settings.setHeatBreakEnabled(on); });
    connect(addReminder_, &QPushButton::clicked, this, [this] { editReminder_(newReminder()); });
    connect(quietHours_, &QCheckBox::clicked, this, [&settings](bool on) { settings.setQuietHoursEnabled(on); });
    connect(quietFrom_, &QTimeEdit::timeChanged, this,
            [&settings](QTime time) { settings.setQuietStartMinute(TimeOfDay::minuteOf(time)); });
    connect(quietTo_, &QTimeEdit::timeChanged, this,
            [&settings](QTime time) { settings.setQuietEndMinute(TimeOfDay::minuteOf(time)); });
    connect(evening_, &QCheckBox::clicked, this, [&settings](bool on) { settings.setEndOfDayEnabled(on); });
    connect(eveningAt_, &QTimeEdit::timeChanged, this,
            [&settings](QTime time) { settings.setEndOfDayMinute(TimeOfDay::minuteOf(time)); });
    connect(headsUp_, &QCheckBox::clicked, this, [&settings](bool on) { settings.setHeadsUpEnabled(on); });

    for (auto changed : {&SettingsStore::restEnabledChanged, &SettingsStore::heatBreakEnabledChanged,
                         &SettingsStore::quietHoursEnabledChanged, &SettingsStore::headsUpEnabledChanged,
                         &SettingsStore::endOfDayEnabledChanged}) {
        connect(&settings, changed, this, &FocusPane::sync);
    }
    for (auto changed : {&SettingsStore::restIntervalMinutesChanged, &SettingsStore::quietStartMinuteChanged,
                         &SettingsStore::quietEndMinuteChanged, &SettingsStore::endOfDayMinuteChanged}) {
        connect(&settings, changed, this, &FocusPane::sync);
    }
    connect(&bindings, &SettingsBindings::changed, this, &FocusPane::sync);
    connect(&settings, &SettingsStore::remindersChanged, this, &FocusPane::syncReminders);
    sync();
    syncReminders();
}

void FocusPane::sync() {
    const SettingsStore& settings = bindings_.settings();
    SettingsForm::setChecked(*breaks_, settings.restEnabled());
    // Showing the same value again would wipe what is being typed over it.
    if (const auto shown = static_cast<int>(settings.restIntervalMinutes()); interval_->value() != shown) {
        const QSignalBlocker blocker(interval_);
        interval_->setValue(shown);
    }
    for (std::size_t index = 0; index < presets.size(); ++index) {
        presetButtons_[index]->setEnabled(settings.restIntervalMinutes() != presets[index]);
    }
    intervalRow_->setEnabled(settings.restEnabled());
    presetRow_->setEnabled(settings.restEnabled());
    SettingsForm::setChecked(*heatBreak_, settings.heatBreakEnabled());
    heatBreak_->setEnabled(settings.restEnabled());

    SettingsForm::setChecked(*quietHours_, settings.quietHoursEnabled());
    // An unchanged time is not shown again: re-showing would drop the user's place in the field.
    if (TimeOfDay::minuteOf(quietFrom_->time()) != settings.quietStartMinute()) {
        TimeOfDay::show(*quietFrom_, settings.quietStartMinute());
    }
    if (TimeOfDay::minuteOf(quietTo_->time()) != settings.quietEndMinute()) {
        TimeOfDay::show(*quietTo_, settings.quietEndMinute());
    }
    quietFrom_->setEnabled(settings.quietHoursEnabled());
    quietTo_->setEnabled(settings.quietHoursEnabled());

    SettingsForm::setChecked(*evening_, settings.endOfDayEnabled());
    if (TimeOfDay::minuteOf(eveningAt_->time()) != settings.endOfDayMinute()) {
        TimeOfDay::show(*eveningAt_, settings.endOfDayMinute());
    }
    eveningAt_->setEnabled(settings.endOfDayEnabled());

    SettingsForm::setChecked(*headsUp_, settings.headsUpEnabled());
}

void FocusPane::syncReminders() {
    // The row whose switch or delete button changed the list is still inside its click: it goes later.
    for (ReminderRow* row : rows_) {
        row->hide();
        row->deleteLater();
    }
    rows_.clear();
    SettingsStore& settings = bindings_.settings();
    for (const Reminder& reminder : settings.reminders()) {
        auto* row = new ReminderRow(reminder, settings, [this, reminder] { editReminder_(reminder); });
        rowsLayout_->addWidget(row);
        rows_.push_back(row);
    }
    remindersBlurb_->setVisible(settings.reminders().empty());
}

} // namespace halvrick
