#pragma once

#include <QColor>
#include <QWidget>
#include <optional>

namespace halvrick {

// A rounded rectangle behind its children: the cards, rows and strips of the popover.
class RoundedPanel : public QWidget {
    Q_OBJECT

public:
    struct Look {
        QColor fill;
        qreal radius = 10;
        // Drawn inside the edge.
        std::optional<QColor> border;
        qreal borderWidth = 1;
    };

    explicit RoundedPanel(Look look, QWidget* parent = nullptr);

    const Look& look() const { return look_; }
    void setLook(const Look& look);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look look_;
};

} // namespace halvrick
