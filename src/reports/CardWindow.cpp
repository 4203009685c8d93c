#include "reports/CardWindow.h"

#include "reports/CardWindowView.h"
#include "ui/WindowShell.h"

#include <QVBoxLayout>

namespace halvrick {

CardWindow::CardWindow(QString title) : title_(std::move(title)) {}

void CardWindow::show(CardWindowView* content) {
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(title_);
        window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint);
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
    }
    if (content_) {
        content_->hide();
        content_->deleteLater();
    }
    content_ = content;
    window_->layout()->addWidget(content_);
    content_->fitCard(WindowShell::room(*window_));
    window_->setFixedSize(window_->layout()->sizeHint());
    WindowShell::present(*window_, firstShow);
}

} // namespace halvrick
