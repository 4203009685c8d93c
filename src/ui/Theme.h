#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;
class QWidget;

namespace halvrick {

// The text styles of the interface. Sizes are pixels at scale 1, so the popover keeps its proportions
// whatever the desktop's point size is.
enum class TextStyle { title2, title3, headline, body, callout, subheadline, caption, caption2 };

// The interface's colours and fonts, read from the palette in force.
class Theme {
public:
    enum class Colour { green, orange, yellow, blue, red };
    enum class Tone { primary, secondary, tertiary };

    static int pixelSize(TextStyle style);
    // `base` in the style's size and weight; `small` is the small control size, one pixel less.
    static QFont font(TextStyle style, const QFont& base = QFont(), bool small = false);

    static bool isDark(const QPalette& palette);
    // The system colour, in its light or dark variant after the palette.
    static QColor colour(Colour colour, const QPalette& palette, double opacity = 1);
    static QColor accent(const QPalette& palette, double opacity = 1);
    // Text in a tone, with `opacity` multiplied in. With increased contrast, secondary and tertiary text
    // reach at least minimumContrast against the palette's window colour.
    static QColor text(Tone tone, const QPalette& palette, double opacity = 1);

    static constexpr double minimumContrast = 4.5;
    // The user asked for increased contrast; tone labels take their colours again.
    static void setIncreaseContrast(bool increase);
    static bool increaseContrast();
    // The contrast ratio of two opaque colours, 1 to 21.
    static double contrast(const QColor& a, const QColor& b);

    // A plain-text label in a style and tone; the tone's colour follows later palette changes.
    static QLabel* label(QWidget* parent, TextStyle style, Tone tone = Tone::primary);
    // The same showing `text`, wrapped at word boundaries.
    static QLabel* wrappingLabel(QWidget* parent, const QString& text, TextStyle style, Tone tone = Tone::primary);
    // Sets a label's text colour (a fixed colour such as orange, or a tone).
    static void setTextColour(QWidget& widget, const QColor& colour);
    // Setting an equal text still relayouts a QLabel; publishes arrive every second.
    static void setTextIfChanged(QLabel& label, const QString& text);
    // A label for a figure that changes every second or two (a load, a share). It keeps exactly the size
    // of its text, so a new figure as wide as the last repaints the label alone: a label free to grow
    // lays out its whole window again on every change, wrapped texts and all.
    static QLabel* figureLabel(QWidget* parent, TextStyle style, Tone tone = Tone::primary);
    // Sets a figure label's text; its size follows only when the text needs another.
    static void setFigureText(QLabel& label, const QString& text);
};

} // namespace halvrick
