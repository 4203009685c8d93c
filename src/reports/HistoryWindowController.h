#pragma once

#include "core/Calendar.h"
#include "core/Date.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace halvrick {

class AppModel;
class HistoryView;
class SavePathChooser;

// The "History & Trends" window: one window, made on first show and reused; closing only hides it.
// Every show puts a fresh view in it, so the period is back at the week and no message is left; a
// closed window keeps no view.
class HistoryWindowController {
public:
    explicit HistoryWindowController(AppModel& model);
    // Tests fix the clock and answer the save dialogs.
    HistoryWindowController(AppModel& model, std::function<Date()> now, std::function<Calendar()> calendar,
                            std::shared_ptr<SavePathChooser> chooser);
    ~HistoryWindowController();

    static constexpr int minimumWidth = 720;
    static constexpr int minimumHeight = 640;
    static constexpr int initialSide = 760;

    // Makes the window on first use, puts a fresh view in it, brings up the evening card and the
    // challenge results as of now, then brings the window to the front.
    void show();
    // None until the first show.
    QWidget* window() const { return window_.get(); }
    // The view on show; none before the first show and after a close.
    HistoryView* view() const;
    AppModel& model() const { return model_; }

private:
    AppModel& model_;
    std::function<Date()> now_;
    std::function<Calendar()> calendar_;
    std::shared_ptr<SavePathChooser> chooser_;
    std::unique_ptr<QWidget> window_;
    QPointer<HistoryView> view_;
};

} // namespace halvrick
