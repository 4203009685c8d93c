#pragma once

#include "core/Calendar.h"
#include "core/WrappedSummary.h"

#include <QIcon>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

namespace halvrick {

// Everything the weekly card shows: the summary, its culprits' icons and its date range, already written.
struct WrappedCardData {
    WrappedSummary summary;
    QString range;
    // One per culprit, in order; a missing or null one paints the name's own icon.
    std::vector<QIcon> icons;

    static WrappedCardData of(const WrappedSummary& summary, const Calendar& calendar, std::vector<QIcon> icons);
};

// The weekly summary's 600 x 600 card, painted alike on screen and into the PNG.
namespace WrappedCard {

inline constexpr QSizeF size{600, 600};
inline constexpr qreal padding = 36;

// The card's texts, as the summary gives them.
QString title(const WrappedSummary& summary);
QString subtitle(const WrappedSummary& summary);
QString culpritLine(const WrappedSummary::Culprit& culprit);
QString breaksValue(const WrappedSummary& summary);
QString breaksLabel(const WrappedSummary& summary);

// Where each part goes. Every part keeps its design size and gap; a week whose stack is taller than the
// room inside the padding closes the spacer above the footer and centres the stack on the card.
struct Layout {
    QRectF pea;
    QRectF title;
    QRectF subtitle;
    QRectF culpritsHeading;
    std::vector<QRectF> culpritRows;
    QRectF tiles;
    QRectF footer;
};

Layout layout(const WrappedSummary& summary);
void paint(QPainter& painter, QSizeF size, const WrappedCardData& data);

} // namespace WrappedCard

// The card on screen, 600 x 600.
class WrappedCardWidget : public QWidget {
public:
    explicit WrappedCardWidget(WrappedCardData data, QWidget* parent = nullptr);

    const WrappedCardData& data() const { return data_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    WrappedCardData data_;
};

} // namespace halvrick
