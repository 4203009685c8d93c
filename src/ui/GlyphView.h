#pragma once

#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <QWidget>

namespace halvrick {

// A symbol set in line with text, in a text tone that follows the palette.
class GlyphView : public QWidget {
public:
    GlyphView(Glyph glyph, Theme::Tone tone, int size, QWidget* parent = nullptr);

    Glyph glyph() const { return glyph_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Glyph glyph_;
    Theme::Tone tone_;
};

} // namespace halvrick
