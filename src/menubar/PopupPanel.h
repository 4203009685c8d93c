#pragma once

#include <QWidget>

namespace halvrick {

// The popover's frame: a borderless panel that closes on any click outside it, sized to its content.
// Every way it closes (outside click, Escape, hide()) ends in closed(), once per showing.
class PopupPanel : public QWidget {
    Q_OBJECT

public:
    // As a popup, or, where the desktop has no tray to open it from, as an ordinary window.
    explicit PopupPanel(bool popup = true);

    // Puts `content` in the panel (the panel owns it from then on).
    void setContent(QWidget* content);

signals:
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace halvrick
