#pragma once

#include <QObject>
#include <functional>

namespace halvrick {

// The model publishes field by field, often several fields in one go: a view asks for a refresh on each
// and refreshes once, on the next turn of the event loop.
class CoalescedRefresh {
public:
    // `refresh` runs only while `context` lives.
    CoalescedRefresh(QObject& context, std::function<void()> refresh);

    void request();
    bool isPending() const { return pending_; }

private:
    QObject& context_;
    std::function<void()> refresh_;
    bool pending_ = false;
};

} // namespace halvrick
