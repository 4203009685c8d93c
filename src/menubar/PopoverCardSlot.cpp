#include "menubar/PopoverCardSlot.h"

#include "menubar/EveningCardView.h"
#include "menubar/ReminderBubbleView.h"
#include "ui/PlainText.h"
#include "model/AppModel.h"
#include "ui/RoundedPanel.h"
#include "ui/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace halvrick {

namespace {

constexpr int reminderCardLines = 4;

RoundedPanel* hiddenPanel(QWidget* parent) {
    auto* panel = new RoundedPanel({QColor(), 10, std::nullopt, 1}, parent);
    panel->hide();
    return panel;
}

} // namespace

PopoverCardSlot::PopoverCardSlot(AppModel& model, const PopoverActions& actions, QWidget* parent)
    : QWidget(parent), model_(model), actions_(actions) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    reminderPanel_ = hiddenPanel(this);
    auto* reminderLayout = new QVBoxLayout(reminderPanel_);
    reminderLayout->setContentsMargins(10, 10, 10, 10);
    reminder_ = new ReminderBubbleView(model_, reminderPanel_);
    // A long reminder leaves room for the rest of the popover; the editor has the whole text.
    reminder_->setTextLines(reminderCardLines);
    reminderLayout->addWidget(reminder_);
    stack->addWidget(reminderPanel_);

    headsUpPanel_ = hiddenPanel(this);
    auto* headsUpLayout = new QVBoxLayout(headsUpPanel_);
    headsUpLayout->setContentsMargins(10, 10, 10, 10);
    headsUp_ = Theme::label(headsUpPanel_, TextStyle::callout);
    headsUp_->setWordWrap(true);
    headsUpLayout->addWidget(headsUp_);
    stack->addWidget(headsUpPanel_);

    evening_ = new EveningCardView(EveningSummary{}, model_, [this] { PopoverActions::call(actions_.openHistory); },
                                   this);
    evening_->hide();
    stack->addWidget(evening_);

    wrappedPanel_ = hiddenPanel(this);
    auto* wrappedRow = new QHBoxLayout(wrappedPanel_);
    wrappedRow->setContentsMargins(10, 10, 10, 10);
    QLabel* wrapped = Theme::label(wrappedPanel_, TextStyle::callout);
    wrapped->setText(QStringLiteral("Your Zurez Erazuri is ready 🎉"));
    wrapped->setWordWrap(true);
    wrappedRow->addWidget(wrapped, 1);
    wrappedOpen_ = new QPushButton(QStringLiteral("Open"), wrappedPanel_);
    wrappedOpen_->setFont(Theme::font(TextStyle::body, wrappedOpen_->font(), true));
    connect(wrappedOpen_, &QPushButton::clicked, this, [this] { PopoverActions::call(actions_.openWrapped); });
    wrappedRow->addWidget(wrappedOpen_);
    stack->addWidget(wrappedPanel_);

    applyLooks();
    hide();
}

void PopoverCardSlot::refresh(PopoverCard card) {
    if (card == PopoverCard::headsUp) {
        Theme::setTextIfChanged(*headsUp_, PlainText::shown(model_.headsUpMessage().value_or("")));
    }
    if (card == PopoverCard::evening && model_.eveningSummary() && !(*model_.eveningSummary() == evening_->summary())) {
        evening_->setSummary(*model_.eveningSummary());
    }
    if (card == card_) {
        return;
    }
    card_ = card;
    reminderPanel_->setVisible(card == PopoverCard::reminder);
    headsUpPanel_->setVisible(card == PopoverCard::headsUp);
    evening_->setVisible(card == PopoverCard::evening);
    wrappedPanel_->setVisible(card == PopoverCard::wrapped);
    setVisible(card != PopoverCard::none);
}

void PopoverCardSlot::applyLooks() {
    const QPalette& p = palette();
    reminderPanel_->setLook({Theme::accent(p, 0.12), 10, std::nullopt, 1});
    headsUpPanel_->setLook({Theme::colour(Theme::Colour::orange, p, 0.15), 10, std::nullopt, 1});
    wrappedPanel_->setLook({Theme::colour(Theme::Colour::green, p, 0.12), 10, std::nullopt, 1});
}

void PopoverCardSlot::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        applyLooks();
    }
}

} // namespace halvrick
