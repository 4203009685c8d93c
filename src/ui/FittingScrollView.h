#pragma once

#include <QScrollArea>

namespace halvrick {

// A vertical scroll area exactly as tall as its content until the content reaches maxHeight, and
// scrolling from then on, so the popover grows and shrinks with what it shows.
class FittingScrollView : public QScrollArea {
    Q_OBJECT

public:
    FittingScrollView(int maxHeight, QWidget* content, QWidget* parent = nullptr);

    int maxHeight() const { return maxHeight_; }
    void setMaxHeight(int maxHeight);
    // Follows the content; also called on every change of its layout.
    void fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int maxHeight_;
};

} // namespace halvrick
