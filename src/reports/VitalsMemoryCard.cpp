#include "reports/VitalsMemoryCard.h"

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

QColor pressureTint(MemoryPressure pressure, const QPalette& palette) {
    switch (pressure) {
    case MemoryPressure::normal:
        return Theme::accent(palette);
    case MemoryPressure::warning:
        return Theme::colour(Theme::Colour::orange, palette);
    case MemoryPressure::critical:
        return Theme::colour(Theme::Colour::red, palette);
    }
    return Theme::accent(palette);
}

} // namespace

QLabel* vitalsFigure(QWidget* parent) {
    QLabel* figure = plainLabel(new QLabel(parent));
    QFont font = figure->font();
    font.setPixelSize(26);
    font.setWeight(QFont::DemiBold);
    figure->setFont(font);
    return figure;
}

VitalsMemoryCard::VitalsMemoryCard(QWidget* parent) : VitalsPanel(14, 9, parent) {
    addTitle(QStringLiteral("Memory"));
    auto* figures = new QHBoxLayout;
    figures->setSpacing(5);
    used_ = vitalsFigure(this);
    figures->addWidget(used_, 0, Qt::AlignBaseline);
    total_ = plainLabel(Theme::label(this, TextStyle::caption, Theme::Tone::secondary));
    figures->addWidget(total_, 0, Qt::AlignBaseline);
    figures->addStretch(1);
    column().addLayout(figures);
    bar_ = new VitalsBar(this);
    column().addWidget(bar_);
    pressure_ = addDetail(QStringLiteral("Pressure"));
    swap_ = addDetail(QStringLiteral("Swap"));
    cache_ = addDetail(QStringLiteral("Cache"));
    peak_ = addDetail(QStringLiteral("Peak today"), &peakRow_);
}

void VitalsMemoryCard::setVitals(const MachineVitals& vitals, std::optional<std::uint64_t> peakToday) {
    Theme::setTextIfChanged(*used_, text(Bytes::memory(vitals.memoryUsed)));
    Theme::setTextIfChanged(*total_, "of " + text(Bytes::memory(vitals.memoryTotal)));
    bar_->setValue(VitalsFigures::fraction(vitals.memoryUsed, vitals.memoryTotal));
    bar_->setColour(pressureTint(vitals.pressure, palette()));
    Theme::setTextIfChanged(*pressure_, text(VitalsFigures::pressureText(vitals.pressure)));
    Theme::setTextIfChanged(*swap_, text(VitalsFigures::swapText(vitals.swapUsed)));
    Theme::setTextIfChanged(*cache_, text(Bytes::memory(vitals.memoryCached)));
    const bool hasPeak = peakToday && *peakToday != 0;
    if (hasPeak) {
        Theme::setTextIfChanged(*peak_, text(Bytes::memory(*peakToday)));
    }
    peakRow_->setVisible(hasPeak);
}

} // namespace halvrick
