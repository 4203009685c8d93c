#include "reports/VitalsStorageCard.h"

#include "core/Bytes.h"
#include "core/VitalsFigures.h"
#include "reports/VitalsBar.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace halvrick {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

} // namespace

VitalsStorageCard::VitalsStorageCard(QWidget* parent) : VitalsPanel(14, 9, parent) {
    addTitle(QStringLiteral("Storage"));
    unreadable_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    unreadable_->setText(QStringLiteral("The startup disk can't be read right now."));
    unreadable_->setWordWrap(true);
    column().addWidget(unreadable_);

    figures_ = new QWidget(this);
    auto* stack = new QVBoxLayout(figures_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(9);
    const VitalsFigure figure = addVitalsFigure(*stack, figures_);
    used_ = figure.figure;
    total_ = figure.total;
    bar_ = new VitalsBar(figures_);
    stack->addWidget(bar_);
    auto* freeRow = new QHBoxLayout;
    QLabel* freeName = Theme::label(figures_, TextStyle::caption, Theme::Tone::secondary);
    freeName->setText(QStringLiteral("Free"));
    freeRow->addWidget(freeName);
    freeRow->addStretch(1);
    free_ = Theme::label(figures_, TextStyle::caption);
    freeRow->addWidget(free_);
    stack->addLayout(freeRow);
    nearlyFull_ = Theme::label(figures_, TextStyle::caption);
    nearlyFull_->setText(QStringLiteral("nearly full"));
    Theme::setTextColour(*nearlyFull_, Theme::colour(Theme::Colour::orange, palette()));
    stack->addWidget(nearlyFull_);
    column().addWidget(figures_);
}

void VitalsStorageCard::setVitals(const MachineVitals& vitals) {
    unreadable_->setVisible(!vitals.hasStorage());
    figures_->setVisible(vitals.hasStorage());
    if (!vitals.hasStorage()) {
        return;
    }
    const bool nearlyFull = VitalsFigures::isStorageNearlyFull(vitals);
    const QColor orange = Theme::colour(Theme::Colour::orange, palette());
    Theme::setTextIfChanged(*used_, text(Bytes::storage(vitals.storageUsed())));
    Theme::setTextIfChanged(*total_, "of " + text(Bytes::storage(vitals.storageTotal)));
    bar_->setValue(vitals.storageFraction());
    bar_->setColour(nearlyFull ? orange : Theme::accent(palette()));
    Theme::setTextIfChanged(*free_, text(Bytes::storage(vitals.storageFree)));
    nearlyFull_->setVisible(nearlyFull);
}

} // namespace halvrick
