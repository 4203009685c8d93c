#include "menubar/HeadsUpView.h"

#include "pea/AnimatedPeaView.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QMouseEvent>

namespace halvrick {

HeadsUpView::HeadsUpView(QString message, PeaFace face, PeaStyle style, bool animate,
                         std::function<void()> onTap, QWidget* parent)
    : QWidget(parent), onTap_(std::move(onTap)) {
    setFixedWidth(cardWidth);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(padding, padding, padding, padding);
    row->setSpacing(10);
    pea_ = new AnimatedPeaView(face, PeaFace::Detail::full, style, animate, std::nullopt, this);
    pea_->setFixedSize(peaSide, peaSide);
    pea_->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(pea_, 0, Qt::AlignVCenter);
    message_ = Theme::label(this, TextStyle::callout);
    message_->setWordWrap(true);
    message_->setTextFormat(Qt::PlainText);
    message_->setText(message);
    message_->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(message_, 1, Qt::AlignVCenter);
    setAccessibleName(message);
}

void HeadsUpView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void HeadsUpView::mouseReleaseEvent(QMouseEvent* event) {
    const bool tapped =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (tapped && onTap_) {
        // The host may close and delete the card from its tap.
        const std::function<void()> tap = onTap_;
        tap();
    }
}

} // namespace halvrick
