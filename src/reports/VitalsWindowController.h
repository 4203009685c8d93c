#pragma once

#include <QWidget>
#include <memory>

namespace halvrick {

class AppModel;

// The "Vitals" window: one window, made on first show and reused; closing only hides it.
class VitalsWindowController {
public:
    explicit VitalsWindowController(AppModel& model);

    static constexpr int minimumWidth = 560;
    static constexpr int minimumHeight = 520;

    // Makes the window on first use, then brings it to the front.
    void show();
    // None until the first show.
    QWidget* window() const { return window_.get(); }
    AppModel& model() const { return model_; }

private:
    AppModel& model_;
    std::unique_ptr<QWidget> window_;
};

} // namespace halvrick
