#pragma once

#include <QWidget>

namespace halvrick {

// The heatmap's legend: "None", a swatch per level, "2h+". Each swatch names its level to a screen
// reader and in its tooltip.
class HeatLegend : public QWidget {
public:
    explicit HeatLegend(QWidget* parent = nullptr);
};

} // namespace halvrick
