#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace halvrick {

// The model publishes field by field, often several fields in one go, and every second: a view asks for
// a refresh on each publish and refreshes once, on the next turn of the event loop. While the view's
// window is hidden nothing is drawn, so a request only marks the view stale and the refresh runs when
// the window shows: a closed popover costs nothing per tick.
class CoalescedRefresh : public QObject {
public:
    // `refresh` runs only while `view` lives.
    CoalescedRefresh(QWidget& view, std::function<void()> refresh);

    void request();
    bool isPending() const { return pending_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& view_;
    std::function<void()> refresh_;
    bool pending_ = false;
    bool stale_ = false;
    // The window watched for being shown; the view may move to another one.
    QPointer<QWidget> watched_;
};

} // namespace halvrick
