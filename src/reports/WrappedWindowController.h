#pragma once

#include "core/WrappedSummary.h"
#include "reports/CardWindow.h"
#include "ui/SavePathChooser.h"
#include "ui/WallClock.h"

#include <memory>

namespace halvrick {

class AppModel;
class CardWindowView;

// The weekly summary's window: its card with save and share, one window for every show.
class WrappedWindowController {
public:
    WrappedWindowController(AppModel& model, WallClock clock = WallClock::system(),
                            std::unique_ptr<SavePathChooser> chooser = std::make_unique<FileDialogChooser>());

    // The last seven days of the ledger; the summary then counts as seen.
    void showLastWeek();
    // The demonstration week; nothing is marked as seen.
    void showSample();
    // A snapshot: the window does not follow the ledger afterwards.
    void show(const WrappedSummary& summary);

    // "Zurez Erazuri <day key of the end day>.png".
    static QString fileName(const WrappedSummary& summary, const Calendar& calendar);

    // None until the first show.
    QWidget* window() const { return window_.window(); }
    CardWindowView* view() const;

private:
    AppModel& model_;
    WallClock clock_;
    std::unique_ptr<SavePathChooser> chooser_;
    CardWindow window_{QStringLiteral("Zurez Erazuri")};
};

} // namespace halvrick
