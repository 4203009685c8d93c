#include "ui/Theme.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>

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

bool increasedContrast = false;

// Relative luminance of an sRGB colour.
double luminance(const QColor& colour) {
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// `front` at `opacity` over `back`, as it is drawn.
QColor blended(const QColor& front, const QColor& back, double opacity) {
    const auto mix = [opacity](double f, double b) { return f * opacity + b * (1 - opacity); };
    return QColor::fromRgbF(static_cast<float>(mix(front.redF(), back.redF())),
                            static_cast<float>(mix(front.greenF(), back.greenF())),
                            static_cast<float>(mix(front.blueF(), back.blueF())));
}

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

// The size a figure label keeps: its text's.
void fitToText(QLabel& label) {
    const QSize hint = label.sizeHint();
    if (label.minimumSize() != hint || label.maximumSize() != hint) {
        label.setFixedSize(hint);
    }
}

// A figure label's text takes another size in another font or style.
class FigureKeeper : public QObject {
public:
    explicit FigureKeeper(QLabel* label) : QObject(label) { label->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            // Measured once the label itself has taken the change.
            auto* label = static_cast<QLabel*>(watched);
            QMetaObject::invokeMethod(
                this, [label] { fitToText(*label); }, Qt::QueuedConnection);
        }
        return false;
    }
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
    double toneOpacity = 1;
    switch (tone) {
    case Tone::primary:
        return withOpacity(primary, opacity);
    case Tone::secondary:
        toneOpacity = isDark(palette) ? 0.55 : 0.5;
        break;
    case Tone::tertiary:
        toneOpacity = 0.3;
        break;
    }
    if (increasedContrast) {
        // The faintest tone that still reads: stepped up until the blend reaches the minimum.
        const QColor window = palette.color(QPalette::Window);
        while (toneOpacity < 1 && contrast(blended(primary, window, toneOpacity), window) < minimumContrast) {
            toneOpacity = std::min(1.0, toneOpacity + 0.02);
        }
    }
    return withOpacity(primary, toneOpacity * opacity);
}

void Theme::setIncreaseContrast(bool increase) {
    if (increase == increasedContrast) {
        return;
    }
    increasedContrast = increase;
    // Tone labels take their colour when the palette changes: this is such a change.
    for (QWidget* widget : QApplication::allWidgets()) {
        QEvent change(QEvent::ApplicationPaletteChange);
        QCoreApplication::sendEvent(widget, &change);
        widget->update();
    }
}

bool Theme::increaseContrast() { return increasedContrast; }

double Theme::contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
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

QLabel* Theme::wrappingLabel(QWidget* parent, const QString& text, TextStyle style, Tone tone) {
    QLabel* made = label(parent, style, tone);
    made->setWordWrap(true);
    made->setText(text);
    return made;
}

void Theme::setTextIfChanged(QLabel& label, const QString& text) {
    if (label.text() != text) {
        label.setText(text);
    }
}

QLabel* Theme::figureLabel(QWidget* parent, TextStyle style, Tone tone) {
    QLabel* made = label(parent, style, tone);
    new FigureKeeper(made);
    fitToText(*made);
    return made;
}

void Theme::setFigureText(QLabel& label, const QString& text) {
    if (label.text() == text) {
        return;
    }
    label.setText(text);
    fitToText(label);
}

} // namespace halvrick
