#include "settings/ReminderRow.h"

#include "model/Copy.h"
#include "model/SettingsStore.h"
#include "settings/SettingsForm.h"
#include "ui/ElidedLabel.h"
#include "ui/PlainText.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace halvrick {

ReminderRow::ReminderRow(Reminder reminder, SettingsStore& settings, std::function<void()> onEdit,
                         QWidget* parent)
    : QWidget(parent), reminder_(std::move(reminder)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);

    enabled_ = new QCheckBox(this);
    enabled_->setChecked(reminder_.isEnabled);
    row->addWidget(enabled_, 0, Qt::AlignVCenter);

    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    const QString shown = PlainText::shown(reminder_.text);
    text_ = new ElidedLabel(this, Qt::ElideRight);
    text_->setFullText(shown);
    // A tooltip reads markup: the text goes in escaped, so it shows as written.
    text_->setToolTip(QStringLiteral("<p style='white-space:pre'>") + shown.toHtmlEscaped() +
                      QStringLiteral("</p>"));
    lines->addWidget(text_);
    summary_ = SettingsForm::caption(QString::fromStdString(Copy::scheduleSummary(reminder_.schedule)), this);
    lines->addWidget(summary_);
    row->addLayout(lines, 1);
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
