#pragma once

#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;

namespace halvrick {

// One choice out of a few, shown as a row of joined buttons with exactly one pressed.
class SegmentedControl : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList& labels, QWidget* parent = nullptr);

    int current() const;
    // Presses the segment without announcing it.
    void setCurrent(int index);
    QAbstractButton* segment(int index) const;

signals:
    // Only for the user's choice.
    void currentChanged(int index);

private:
    QButtonGroup* group_;
};

} // namespace halvrick
