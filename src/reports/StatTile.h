#pragma once

#include "ui/Theme.h"

#include <QString>
#include <QWidget>
#include <optional>

namespace halvrick {

// A figure over its caption in a lightly tinted rounded box; a figure too wide for the tile shrinks to
// 70 % before it is cut.
class StatTile : public QWidget {
public:
    // No colour: the text colour.
    explicit StatTile(std::optional<Theme::Colour> tint, QWidget* parent = nullptr);

    void set(const QString& value, const QString& label);
    const QString& value() const { return value_; }
    const QString& label() const { return label_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<Theme::Colour> tint_;
    QString value_;
    QString label_;
};

} // namespace halvrick
