#pragma once

#include "core/PeaFace.h"
#include "menubar/NotchScreenInfo.h"
#include "menubar/Scheduler.h"
#include "pea/PeaStyle.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace halvrick {

class NotchPeekState;
class NotchPeekView;

// Shows a heads-up as a peek out of the screen's camera notch: one panel, made on the first peek and
// reused, centred at the top of the screen. A peek slides in, stays for its duration and slides out; the
// panel leaves the screen 0.3 s after that unless another peek came meanwhile. Main thread only.
class NotchPeekController {
public:
    static constexpr double orderOutDelay = 0.3;

    // The scheduler must outlive the controller.
    NotchPeekController(std::unique_ptr<NotchScreenInfo> screens, Scheduler& scheduler);
    ~NotchPeekController();
    NotchPeekController(const NotchPeekController&) = delete;
    NotchPeekController& operator=(const NotchPeekController&) = delete;

    // False, with nothing changed, when the tray's screen has no usable notch. Otherwise the peek is on
    // show (replacing one on show) and closes itself `duration` seconds from now.
    bool show(const QString& message, const PeaFace& face, const PeaStyle& style, bool animate,
              double duration, std::function<void()> onTap);
    // Hides the peek on show, if any.
    void close();

    // The peek on show; none when none is shown or while one slides out.
    const NotchPeekState* state() const { return state_.get(); }
    // None until the first peek.
    const QWidget* panel() const { return panel_.get(); }
    const NotchPeekView* view() const { return view_; }

private:
    void orderOut();

    std::unique_ptr<NotchScreenInfo> screens_;
    Scheduler& scheduler_;
    std::unique_ptr<QWidget> panel_;
    NotchPeekView* view_ = nullptr;
    std::shared_ptr<NotchPeekState> state_;
    std::optional<Scheduler::Handle> closeTask_;
    // The scheduled tasks hold the controller weakly through this.
    std::shared_ptr<NotchPeekController*> self_;
};

} // namespace halvrick
