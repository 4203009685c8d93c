#pragma once

#include "reports/VitalsView.h"

#include <QPointer>
#include <QWidget>
#include <memory>

namespace halvrick {

class AppModel;

// The "Vitals" window: one window, made on first show and reused; closing only hides it. Every show
// gives it a fresh view and asks the model to look at the folders again; a closed window keeps none.
class VitalsWindowController {
public:
    explicit VitalsWindowController(AppModel& model, VitalsView::Environment environment = VitalsView::Environment::system());

    static constexpr int minimumWidth = 560;
    static constexpr int minimumHeight = 520;

    // Makes the window on first use, else replaces its view without moving it, then brings it to the
    // front; the folder figures are refreshed and measured when due.
    void show();
    // None until the first show.
    QWidget* window() const { return window_.get(); }
    // The view on show; none before the first show and after a close.
    VitalsView* view() const { return view_; }
    AppModel& model() const { return model_; }

private:
    AppModel& model_;
    VitalsView::Environment environment_;
    std::unique_ptr<QWidget> window_;
    QPointer<VitalsView> view_;
};

} // namespace halvrick
