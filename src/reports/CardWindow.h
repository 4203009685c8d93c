#pragma once

#include <QString>
#include <QWidget>
#include <memory>

namespace halvrick {

class CardWindowView;

// The one window of a card: made on the first show and kept, fixed to its content's size (the card
// shrunk to fit the screen) and centred once; every show puts in fresh content, so a status line never
// outlives the show it belongs to.
class CardWindow {
public:
    explicit CardWindow(QString title);

    // Replaces the content (the old one is deleted later) and brings the window to the front.
    void show(CardWindowView* content);

    // None until the first show.
    QWidget* window() const { return window_.get(); }
    CardWindowView* content() const { return content_; }

private:
    QString title_;
    std::unique_ptr<QWidget> window_;
    CardWindowView* content_ = nullptr;
};

} // namespace halvrick
