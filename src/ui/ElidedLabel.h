#pragma once

#include <QLabel>

namespace halvrick {

// One line of plain text that shortens in the middle to fit its width; the whole text is its tooltip.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr, Qt::TextElideMode mode = Qt::ElideMiddle);

    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();

    QString full_;
    Qt::TextElideMode mode_;
};

} // namespace halvrick
