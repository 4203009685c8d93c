#pragma once

#include <QAbstractButton>

namespace halvrick {

// A plain text link with a chevron after it, in small secondary text; a long text shortens at its end.
// With the keyboard on it, a ring in the highlight colour shows it.
class LinkButton : public QAbstractButton {
public:
    static constexpr int chevronGap = 3;

    explicit LinkButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace halvrick
