#pragma once

#include "core/FaceState.h"
#include "core/HeatState.h"
#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace halvrick {

class AnimatedPeaView;
class MenuBarTile;

// The artwork lab's editor: a preset (a mood over a heat level) loads its face, every field of which can
// then be changed while the face is drawn live on four tray backgrounds, at four full sizes and beside the
// app icon. Nothing is kept: a new editor starts from its initial state. Controls are named after their
// labels (the sliders' value texts "<label> value") so they can be found.
class FaceEditorView : public QWidget {
    Q_OBJECT

public:
    explicit FaceEditorView(QWidget* parent = nullptr);

    // A slider's value text: two decimals, never "-0.00".
    static QString amountText(double value);

    FaceState state() const { return state_; }
    HeatState heat() const { return heat_; }
    // The face being edited.
    const PeaFace& face() const { return face_; }
    // What the previews draw: the face, capped for the mild voice when asked.
    PeaFace shownFace() const;
    PeaStyle style() const;
    bool animates() const { return animate_; }

    // The previews at 32, 64, 96 and 240 points, then the four tray tiles.
    const std::vector<AnimatedPeaView*>& fullPreviews() const { return fullPreviews_; }
    const std::vector<MenuBarTile*>& menuBarTiles() const { return tiles_; }

private:
    QWidget* makeForm();
    QWidget* makePreviews();
    void loadPreset();
    // Sets every control from the face without letting them write back.
    void reloadControls();
    void refreshPreviews();

    FaceState state_ = FaceState::chill;
    HeatState heat_ = HeatState::sweating;
    PeaFace face_ = halvrick::face(FaceState::chill, HeatState::chill);
    bool animate_ = true;
    bool monochrome_ = false;
    bool highContrast_ = false;
    bool mild_ = false;

    std::vector<std::function<void()>> reloaders_;
    std::vector<AnimatedPeaView*> fullPreviews_;
    std::vector<MenuBarTile*> tiles_;
};

// One tray preview: a background in a small rounded tile with the pea at 18 points, never animated.
// In monochrome the pea on the dark tile is drawn inverted, as the tray would tint it.
class MenuBarTile : public QWidget {
public:
    using Background = std::function<void(QPainter&, const QRectF&)>;

    MenuBarTile(Background background, bool dark, QWidget* parent = nullptr);

    void setPea(const PeaFace& face, const PeaStyle& style);
    bool isDark() const { return dark_; }
    bool drawsInverted() const { return dark_ && style_.monochrome; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Background background_;
    bool dark_;
    PeaFace face_;
    PeaStyle style_;
};

} // namespace halvrick
