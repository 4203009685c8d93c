#include "reports/VitalsMemoryCard.h"

#include "core/Bytes.h"
#include "core/VitalsFigures.h"
#include "reports/VitalsBar.h"
#include "ui/Theme.h"

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

VitalsMemoryCard::VitalsMemoryCard(QWidget* parent) : VitalsPanel(14, 9, parent) {
    addTitle(QStringLiteral("Memory"));
    const VitalsFigure figure = addVitalsFigure(column(), this);
    used_ = figure.figure;
    total_ = figure.total;
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
