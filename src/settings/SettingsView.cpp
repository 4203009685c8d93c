#include "settings/SettingsView.h"

#include "model/Copy.h"
#include "model/SettingsStore.h"
#include "settings/FocusPane.h"
#include "settings/GeneralPane.h"
#include "settings/ReminderEditorDialog.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace halvrick {

namespace {

constexpr int confirmationWidth = 380;

// A pane scrolls where the screen is shorter than the window's designed height.
QScrollArea* scrolling(QWidget* pane) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(pane);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return scroll;
}

} // namespace

SettingsView::SettingsView(SettingsStore& settings, NotificationService& notifier, LoginItemService& loginItem,
                           AppIdentity identity, std::function<void()> onResetStats,
                           std::function<void()> openHistory, QWidget* parent)
    : QWidget(parent), bindings_(settings, notifier, loginItem, std::move(identity)),
      onResetStats_(std::move(onResetStats)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_ = new QTabWidget(this);
    general_ = new GeneralPane(bindings_, std::move(openHistory), [this] { confirmReset(); });
    focus_ = new FocusPane(bindings_, [this](const Reminder& reminder) { editReminder(reminder); });
    tabs_->addTab(scrolling(general_), QStringLiteral("General"));
    tabs_->addTab(scrolling(focus_), QStringLiteral("Focus"));
    layout->addWidget(tabs_);
}

QSize SettingsView::sizeHint() const {
    return {width, height};
}

void SettingsView::confirmReset() {
    if (confirmation_) {
        return;
    }
    auto* box = new QMessageBox(window());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(QStringLiteral("Halvrick Settings"));
    box->setText(QString::fromUtf8(Copy::settingsResetConfirm.data(),
                                   static_cast<qsizetype>(Copy::settingsResetConfirm.size())));
    box->setInformativeText(
        QStringLiteral("Sweat time, breaks, and memory and storage history for the last 13 months will be deleted."));
    QPushButton* reset = box->addButton(QStringLiteral("Reset"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    // A message box sizes itself to its shortest lines; the sentence reads better on two or three.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        grid->addItem(new QSpacerItem(confirmationWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::buttonClicked, this, [this, reset](QAbstractButton* clicked) {
        if (clicked == reset && onResetStats_) {
            onResetStats_();
        }
    });
    confirmation_ = box;
    box->open();
}

void SettingsView::editReminder(const Reminder& reminder) {
    if (editor_) {
        return;
    }
    auto* editor = new ReminderEditorDialog(reminder, window());
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &QDialog::accepted, this,
            [this, editor] { bindings_.settings().upsert(editor->built()); });
    editor_ = editor;
    editor->open();
}

QMessageBox* SettingsView::resetConfirmation() const {
    return confirmation_;
}

ReminderEditorDialog* SettingsView::reminderEditor() const {
    return editor_;
}

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    bindings_.refresh();
}

} // namespace halvrick
