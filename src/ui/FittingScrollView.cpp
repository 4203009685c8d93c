#include "ui/FittingScrollView.h"

#include <QEvent>
#include <QScrollBar>
#include <algorithm>

namespace halvrick {

FittingScrollView::FittingScrollView(int maxHeight, QWidget* content, QWidget* parent)
    : QScrollArea(parent), maxHeight_(maxHeight) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(content);
    content->installEventFilter(this);
    fit();
}

void FittingScrollView::setMaxHeight(int maxHeight) {
    if (maxHeight != maxHeight_) {
        maxHeight_ = maxHeight;
        fit();
    }
}

void FittingScrollView::fit() {
    QWidget* content = widget();
    const int width = viewport()->width() > 0 ? viewport()->width() : content->width();
    int height = content->hasHeightForWidth() ? content->heightForWidth(width) : -1;
    if (height < 0) {
        height = std::max(content->sizeHint().height(), content->minimumHeight());
    }
    setFixedHeight(std::min(maxHeight_, std::max(0, height)));
}

bool FittingScrollView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        fit();
    }
    return QScrollArea::eventFilter(watched, event);
}

} // namespace halvrick
