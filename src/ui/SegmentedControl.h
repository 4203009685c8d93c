#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace halvrick {

// A row of mutually exclusive options, one always chosen.
class SegmentedControl : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList& labels, QWidget* parent = nullptr);

    int currentIndex() const;
    // Emits nothing: only the user's choice does.
    void setCurrentIndex(int index);
    QToolButton* button(int index) const;
    int count() const;

signals:
    void currentChanged(int index);

private:
    QButtonGroup* group_;
};

} // namespace halvrick
