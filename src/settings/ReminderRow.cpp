#include "settings/ReminderRow.h"

#include "model/Copy.h"
#include "model/SettingsStore.h"
#include "settings/SettingsForm.h"
#include "ui/PlainText.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <initializer_list>

namespace halvrick {

namespace {

constexpr int textLines = 3;

// The switch's label, its lines wrapped under one another: a click on it switches, as a click on a
// checkbox's own text would.
class SwitchLabel : public QWidget {
public:
    SwitchLabel(QCheckBox& target, QWidget* parent) : QWidget(parent), target_(target) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        event->setAccepted(event->button() == Qt::LeftButton);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            target_.isEnabled()) {
            target_.click();
        }
    }

private:
    QCheckBox& target_;
};

} // namespace

ReminderRow::ReminderRow(Reminder reminder, SettingsStore& settings, std::function<void()> onEdit,
                         QWidget* parent)
    : QWidget(parent), reminder_(std::move(reminder)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);

    enabled_ = new QCheckBox(this);
    enabled_->setChecked(reminder_.isEnabled);
    row->addWidget(enabled_, 0, Qt::AlignVCenter);

    auto* label = new SwitchLabel(*enabled_, this);
    auto* lines = new QVBoxLayout(label);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(2);
    const QString shown = PlainText::shown(reminder_.text);
    text_ = new WrappedLabel(label);
    text_->setText(shown);
    // The editor shows the whole text; the list stays a list.
    text_->setMaximumLines(textLines);
    summary_ =
        SettingsForm::caption(QString::fromStdString(Copy::scheduleSummary(reminder_.schedule)), label);
    for (QLabel* line : std::initializer_list<QLabel*>{text_, summary_}) {
        // The row's width decides where the lines wrap; no word widens the row.
        line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        lines->addWidget(line);
    }
    row->addWidget(label, 1);
    enabled_->setAccessibleName(shown);

    edit_ = new QPushButton(QStringLiteral("Edit"), this);
    edit_->setAutoDefault(false);
    row->addWidget(edit_, 0, Qt::AlignVCenter);

    delete_ = new QToolButton(this);
    delete_->setAutoRaise(true);
    delete_->setIcon(QIcon::fromTheme(QStringLiteral("user-trash"),
                                      QApplication::style()->standardIcon(QStyle::SP_TrashIcon)));
    delete_->setToolTip(QStringLiteral("Delete"));
    delete_->setAccessibleName(QStringLiteral("Delete ") + shown);
    row->addWidget(delete_, 0, Qt::AlignVCenter);

    connect(enabled_, &QCheckBox::clicked, this, [this, &settings](bool on) {
        Reminder changed = reminder_;
        changed.isEnabled = on;
        settings.upsert(changed);
    });
    connect(edit_, &QPushButton::clicked, this, [onEdit = std::move(onEdit)] { onEdit(); });
    // The store's change rebuilds the list, this row with it: nothing may touch the row after.
    connect(delete_, &QToolButton::clicked, this, [id = reminder_.id, &settings] { settings.deleteReminder(id); });
}

} // namespace halvrick
