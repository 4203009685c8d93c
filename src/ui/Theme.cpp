#include "ui/Theme.h"

#include <QEvent>
#include <QLabel>
#include <array>

namespace halvrick {

namespace {

struct StyleMetrics {
    int pixels;
    QFont::Weight weight;
};

constexpr std::array<StyleMetrics, 8> metrics{{
    {17, QFont::Bold},     // title2
    {15, QFont::Normal},   // title3
    {13, QFont::DemiBold}, // headline
    {13, QFont::Normal},   // body
    {12, QFont::Normal},   // callout
    {11, QFont::Normal},   // subheadline
    {10, QFont::Normal},   // caption
    {10, QFont::Normal},   // caption2
}};

struct SystemColour {
    QRgb light;
    QRgb dark;
};

constexpr std::array<SystemColour, 5> systemColours{{
    {qRgb(52, 199, 89), qRgb(48, 209, 88)},  // green
    {qRgb(255, 149, 0), qRgb(255, 159, 10)}, // orange
    {qRgb(255, 204, 0), qRgb(255, 214, 10)}, // yellow
    {qRgb(0, 122, 255), qRgb(10, 132, 255)}, // blue
    {qRgb(255, 59, 48), qRgb(255, 69, 58)},  // red
}};

QColor withOpacity(QColor colour, double opacity) {
    colour.setAlphaF(static_cast<float>(colour.alphaF() * opacity));
    return colour;
}

// Keeps a label's tone when the desktop switches between light and dark.
class ToneKeeper : public QObject {
public:
    ToneKeeper(QLabel* label, Theme::Tone tone) : QObject(label), tone_(tone) {
        label->installEventFilter(this);
        apply(*label);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ApplicationPaletteChange) {
            apply(*static_cast<QLabel*>(watched));
        }
        return false;
    }

private:
    void apply(QLabel& label) const {
        Theme::setTextColour(label, Theme::text(tone_, QPalette()));
    }

    Theme::Tone tone_;
};

} // namespace

int Theme::pixelSize(TextStyle style) { return metrics[static_cast<std::size_t>(style)].pixels; }

QFont Theme::font(TextStyle style, const QFont& base, bool small) {
    const StyleMetrics& m = metrics[static_cast<std::size_t>(style)];
    QFont font = base;
    font.setPixelSize(small ? m.pixels - 1 : m.pixels);
    font.setWeight(m.weight);
    return font;
}

bool Theme::isDark(const QPalette& palette) { return palette.color(QPalette::Window).lightness() < 128; }

QColor Theme::colour(Colour colour, const QPalette& palette, double opacity) {
    const SystemColour& c = systemColours[static_cast<std::size_t>(colour)];
    return withOpacity(QColor::fromRgb(isDark(palette) ? c.dark : c.light), opacity);
}

QColor Theme::accent(const QPalette& palette, double opacity) {
    return withOpacity(palette.color(QPalette::Highlight), opacity);
}

QColor Theme::text(Tone tone, const QPalette& palette, double opacity) {
    const QColor primary = palette.color(QPalette::WindowText);
    switch (tone) {
    case Tone::primary:
        return withOpacity(primary, opacity);
    case Tone::secondary:
        return withOpacity(primary, (isDark(palette) ? 0.55 : 0.5) * opacity);
    case Tone::tertiary:
        return withOpacity(primary, 0.3 * opacity);
    }
    return primary;
}

QLabel* Theme::label(QWidget* parent, TextStyle style, Tone tone) {
    auto* label = new QLabel(parent);
    // Labels show names and texts of other programs: never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font(style, label->font()));
    if (tone != Tone::primary) {
        new ToneKeeper(label, tone);
    }
    return label;
}

void Theme::setTextColour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

void Theme::setTextIfChanged(QLabel& label, const QString& text) {
    if (label.text() != text) {
        label.setText(text);
    }
}

} // namespace halvrick
