#pragma once

#include <QColor>
#include <QWidget>

namespace halvrick {

// A thin rounded bar filled to a fraction in one colour over a faint track: the vitals window's gauges.
class VitalsBar : public QWidget {
public:
    static constexpr int height = 6;

    explicit VitalsBar(QWidget* parent = nullptr);

    double value() const { return value_; }
    // Kept to 0...1; anything that is not a number is 0.
    void setValue(double value);
    const QColor& colour() const { return colour_; }
    void setColour(const QColor& colour);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double value_ = 0;
    QColor colour_;
};

} // namespace halvrick
