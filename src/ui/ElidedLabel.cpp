#include "ui/ElidedLabel.h"

#include <QEvent>
#include <QTextDocument>
#include <algorithm>

namespace halvrick {

namespace {

constexpr int narrowest = 20;

} // namespace

ElidedLabel::ElidedLabel(QWidget* parent, Qt::TextElideMode mode) : QLabel(parent), mode_(mode) {
    setTextFormat(Qt::PlainText);
}

void ElidedLabel::setFullText(const QString& text) {
    if (text == full_) {
        return;
    }
    full_ = text;
    // A tooltip that looks like markup is drawn as markup: escaped, it reads as the text it is.
    setToolTip(Qt::mightBeRichText(text) ? QStringLiteral("<qt>%1</qt>").arg(text.toHtmlEscaped()) : text);
    updateGeometry();
    elide();
}

QSize ElidedLabel::minimumSizeHint() const { return {narrowest, QLabel::minimumSizeHint().height()}; }

QSize ElidedLabel::sizeHint() const {
    return {fontMetrics().horizontalAdvance(full_) + 2, QLabel::sizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        elide();
    }
}

void ElidedLabel::elide() { setText(fontMetrics().elidedText(full_, mode_, std::max(narrowest, width()))); }

} // namespace halvrick
