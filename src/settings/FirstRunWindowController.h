#pragma once

#include <QObject>
#include <QWidget>
#include <functional>
#include <memory>

namespace halvrick {

class SettingsStore;

// The one-time welcome window. Finishing it, skipping it or closing it completes the first run, once:
// the setting is stored and onDone runs.
class FirstRunWindowController : public QObject {
    Q_OBJECT

public:
    FirstRunWindowController();
    ~FirstRunWindowController() override;

    // Given before show(); completing stores hasCompletedFirstRun in it.
    SettingsStore* settings = nullptr;
    std::function<void()> onDone;

    // Makes the window on first use, then brings it to the front.
    void show();
    // Once: completed, the setting stored, then onDone.
    void complete();

    bool completed() const { return completed_; }
    // None until the first show.
    QWidget* window() const { return window_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QWidget> window_;
    bool completed_ = false;
};

} // namespace halvrick
