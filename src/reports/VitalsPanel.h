#pragma once

#include "ui/RoundedPanel.h"

#include <QString>

class QBoxLayout;
class QLabel;
class QVBoxLayout;

namespace halvrick {

// The vitals window's rounded cards and panels: a faint fill behind a column of content.
class VitalsPanel : public RoundedPanel {
public:
    // `padding` on every edge, `spacing` between the column's items.
    VitalsPanel(int padding, int spacing, QWidget* parent = nullptr);

    QVBoxLayout& column() const { return *column_; }

protected:
    // A small semibold title, as the cards have.
    QLabel* addTitle(const QString& text);
    // A row of a label and its value at the far end; returns the value's label.
    QLabel* addDetail(const QString& label, QWidget** row = nullptr);

    void changeEvent(QEvent* event) override;

private:
    QVBoxLayout* column_;
};

// The cards' big figure and its small "of …" total beside it, on one baseline; added to `layout`.
struct VitalsFigure {
    QLabel* figure;
    QLabel* total;
};
VitalsFigure addVitalsFigure(QBoxLayout& layout, QWidget* parent);

} // namespace halvrick
