#pragma once

#include <QWidget>
#include <memory>

namespace halvrick {

class AppModel;

// The "History & Trends" window: one window, made on first show and reused; closing only hides it.
class HistoryWindowController {
public:
    explicit HistoryWindowController(AppModel& model);

    static constexpr int minimumWidth = 720;
    static constexpr int minimumHeight = 640;

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
