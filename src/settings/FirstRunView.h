#pragma once

#include "core/Calendar.h"
#include "core/Date.h"
#include "ui/RoastCard.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>
#include <functional>

namespace halvrick {

class AnimatedPeaView;

// The welcome window's content: the hello pea, what Halvrick does, the two choices, a sample roast
// card, and "Skip" (Escape) or "Let's go" (Return).
class FirstRunView : public QWidget {
public:
    // At least; wider when the choices need it in the desktop's font.
    static constexpr int width = 620;
    static constexpr int scrollHeight = 530;
    static constexpr const char* developmentNote =
        "These choices work only in the packaged app, not when the program runs as a bare executable.";

    struct Choices {
        // The choices can be applied: the program has its desktop identity.
        bool packaged = true;
        // Where opening at login starts: the login item as the desktop has it now.
        bool openAtLogin = false;
    };

    // The picture-only roast card the window shows: a browser caught sweating.
    static RoastCardData sampleCard(Date now, const Calendar& calendar);

    FirstRunView(Choices choices, Date now, const Calendar& calendar,
                 std::function<void(bool openAtLogin, bool notify)> onDone, std::function<void()> onSkip,
                 QWidget* parent = nullptr);

    QCheckBox& openAtLogin() const { return *openAtLogin_; }
    QCheckBox& notify() const { return *notify_; }
    QPushButton& skipButton() const { return *skip_; }
    QPushButton& goButton() const { return *go_; }
    QWidget& card() const { return *card_; }
    AnimatedPeaView& pea() const { return *pea_; }

    // The scrolling part at its designed height over the footer; it gives up height on short screens.
    QSize sizeHint() const override;

private:
    AnimatedPeaView* pea_;
    QScrollArea* scroll_;
    QCheckBox* openAtLogin_;
    QCheckBox* notify_;
    QPushButton* skip_;
    QPushButton* go_;
    QWidget* card_;
};

} // namespace halvrick
