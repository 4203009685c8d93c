#pragma once

#include "core/AppKey.h"
#include "core/Calendar.h"
#include "core/Date.h"
#include "core/HeatState.h"
#include "core/Personality.h"

#include <QFont>
#include <QIcon>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>

class QPainter;

namespace halvrick {

// Everything the roast card shows; it reads nothing else.
struct RoastCardData {
    AppKey app;
    HeatState state = HeatState::chill;
    // Percent of the whole machine, 0...100.
    double cpuLoad = 0;
    // The application's part of the machine, 0...1.
    double share = 0;
    Personality personality = Personality::mild;
    // The header's date and time, formatted by dateText.
    QString dateText;
    // Null paints the name's own icon.
    QIcon icon;
};

// The square card naming who is cooking the machine, painted alike on screen and into the PNG.
namespace RoastCard {

inline constexpr QSizeF size{600, 600};
inline constexpr qreal padding = 34;
inline constexpr qreal peaSide = 128;

// Where each part goes on the 600 x 600 card. The headline wraps in its column to as many lines as it
// needs, 2 px closer than its font spaces them, beside the pea and centred with it. Only a headline
// the card cannot hold above the application box gets smaller, so no voice line runs into the footer.
struct Layout {
    QRectF header;
    QRectF pea;
    QRectF headline;
    QFont headlineFont;
    int headlineLines = 0;
    QRectF subhead;
    QRectF appBox;
    QRectF footer;
};

Layout layout(const RoastCardData& data);
// "Mar 9, 2026 3:00 PM": the medium date and short time of the user's locale.
QString dateText(Date date, const Calendar& calendar);
// Paints the card into (0, 0, size), scaled from its 600 x 600 design.
void paint(QPainter& painter, QSizeF size, const RoastCardData& data);

} // namespace RoastCard

// The card on screen, 600 x 600.
class RoastCardWidget : public QWidget {
public:
    explicit RoastCardWidget(RoastCardData data, QWidget* parent = nullptr);

    const RoastCardData& data() const { return data_; }
    void setData(RoastCardData data);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RoastCardData data_;
};

} // namespace halvrick
