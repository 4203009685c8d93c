#pragma once

#include <QPointer>
#include <QWidget>

namespace halvrick {

// The frame of the popover and of the speech bubble: a borderless panel sized to its content. Every way
// it closes (an outside click or Escape for the popover, hide() for both) ends in closed(), once per
// showing.
class PopupPanel : public QWidget {
    Q_OBJECT

public:
    enum class Kind {
        // Closes on any click outside it.
        popover,
        // The popover content as an ordinary window, where the desktop has no tray to open it from.
        window,
        // Floats above other windows without taking the focus or grabbing the pointer from the user's
        // work; it closes only when told to.
        bubble,
    };

    explicit PopupPanel(Kind kind);
    // As a popover, or as an ordinary window.
    explicit PopupPanel(bool popup = true);

    Kind kind() const { return kind_; }
    // Puts `content` in the panel in place of what it held (the panel owns it from then on; the old
    // content is deleted once control returns to the event loop, as it may be what is calling).
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

signals:
    void closed();
    // The panel took a new size: its layout settles after it is shown, so placement follows this.
    void resized();

protected:
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Kind kind_;
    QPointer<QWidget> content_;
};

} // namespace halvrick
