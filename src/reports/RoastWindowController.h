#pragma once

#include "core/AppShare.h"
#include "core/Date.h"
#include "reports/CardWindow.h"
#include "ui/RoastCard.h"
#include "ui/SavePathChooser.h"
#include "ui/WallClock.h"

#include <memory>
#include <optional>

namespace halvrick {

class AppModel;
class CardWindowView;

// The roast window: the card of whoever is cooking the machine, with save and share.
class RoastWindowController {
public:
    static constexpr const char* nobodyText = "Nobody's bothering me right now. Give me a minute.";

    RoastWindowController(AppModel& model, WallClock clock = WallClock::system(),
                          std::unique_ptr<SavePathChooser> chooser = std::make_unique<FileDialogChooser>());

    // With nobody to blame the mascot says so and no window opens; else the window shows the current
    // culprit, the date of this show and no status line.
    void show();

    // "Halvrick Roast <day key>.png".
    static QString fileName(Date date, const Calendar& calendar);

    // None until the first show with someone to blame.
    QWidget* window() const { return window_.window(); }
    CardWindowView* view() const;

private:
    // The card for the shown application, with the heat, load and voice of this moment.
    RoastCardData cardData(const AppShare& entry, Date date) const;

    AppModel& model_;
    WallClock clock_;
    std::unique_ptr<SavePathChooser> chooser_;
    // A window title, not a menu item: no ellipsis.
    CardWindow window_{QStringLiteral("Roast card")};
};

} // namespace halvrick
