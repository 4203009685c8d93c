#include "artwork/FaceEditorView.h"

#include "artwork/AppIconView.h"
#include "artwork/BusyBackground.h"
#include "artwork/PeaTile.h"
#include "pea/AnimatedPeaView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <cstdio>

namespace halvrick {

namespace {

constexpr int formWidth = 360;
constexpr int sliderSteps = 1000;

struct Amount {
    const char* label;
    double PeaFace::*field;
    double minimum;
    double maximum;
};

constexpr std::array<Amount, 8> amounts{{{"Pupils", &PeaFace::pupilOffset, -1, 1},
                                         {"Blush", &PeaFace::blush, 0, 1},
                                         {"Steam", &PeaFace::steam, 0, 1},
                                         {"Melt", &PeaFace::melt, 0, 1},
                                         {"Squash", &PeaFace::squash, -1, 1},
                                         {"Sparkle", &PeaFace::sparkle, 0, 1},
                                         {"Confetti", &PeaFace::confetti, 0, 1},
                                         {"Puff", &PeaFace::puff, 0, 1}}};

constexpr std::array<Amount, 4> offsets{{{"Drop fall", &PeaFace::dropFall, 0, 1},
                                         {"Steam rise", &PeaFace::steamRise, 0, 1},
                                         {"Z rise", &PeaFace::zRise, 0, 1},
                                         {"Jitter", &PeaFace::jitter, -1, 1}}};

QString text(std::string_view raw) {
    return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
}

// The first four moods are the heat levels, under the same titles.
QString heatTitle(HeatState heat) {
    return text(title(allFaceStates[static_cast<std::size_t>(rawValue(heat))]));
}

QGroupBox* section(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(title);
    return box;
}

// A grey of the given white level, in a rounded square behind the largest preview.
class Backdrop : public QWidget {
public:
    explicit Backdrop(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(rect(), 12, 12);
        painter.fillPath(path, QColor::fromRgbF(0.95, 0.95, 0.95));
    }
};

} // namespace

MenuBarTile::MenuBarTile(Background background, bool dark, QWidget* parent)
    : QWidget(parent), background_(std::move(background)), dark_(dark) {
    setFixedSize(60, 30);
}

void MenuBarTile::setPea(const PeaFace& face, const PeaStyle& style) {
    if (face == face_ && style == style_) {
        return;
    }
    face_ = face;
    style_ = style;
    update();
}

void MenuBarTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(rect(), 4, 4);
    painter.setClipPath(clip);
    background_(painter, rect());
    const QRectF frame(width() / 2.0 - 9, height() / 2.0 - 9, 18, 18);
    PeaTile::draw(painter, frame, face_, PeaFace::Detail::menuBar, style_, drawsInverted());
}

FaceEditorView::FaceEditorView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeForm());
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    layout->addWidget(makePreviews(), 1);
    reloadControls();
    refreshPreviews();
}

QString FaceEditorView::amountText(double value) {
    // Adding zero turns a negative zero into a plain one; the C library rounds as printf does.
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.2f", value + 0.0);
    return QString::fromLatin1(text.data());
}

PeaFace FaceEditorView::shownFace() const {
    return mild_ ? face_.cappedForMild() : face_;
}

PeaStyle FaceEditorView::style() const {
    return PeaStyle{monochrome_, highContrast_};
}

QWidget* FaceEditorView::makeForm() {
    auto* scroll = new QScrollArea(this);
    scroll->setFixedWidth(formWidth);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* form = new QWidget(scroll);
    auto* column = new QVBoxLayout(form);

    const auto changed = [this] { refreshPreviews(); };

    // Preset.
    auto* preset = section(QStringLiteral("Preset"), form);
    auto* presetLayout = new QFormLayout(preset);
    auto* statePicker = new QComboBox(preset);
    statePicker->setObjectName(QStringLiteral("State"));
    for (const FaceState state : allFaceStates) {
        statePicker->addItem(text(title(state)));
    }
    auto* heatPicker = new QComboBox(preset);
    heatPicker->setObjectName(QStringLiteral("Heat underneath"));
    for (const HeatState heat : allHeatStates) {
        heatPicker->addItem(heatTitle(heat));
    }
    statePicker->setCurrentIndex(static_cast<int>(state_));
    heatPicker->setCurrentIndex(rawValue(heat_));
    // Connected after the first selection: showing the editor recomputes nothing.
    connect(statePicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        state_ = allFaceStates[static_cast<std::size_t>(index)];
        loadPreset();
    });
    connect(heatPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        heat_ = allHeatStates[static_cast<std::size_t>(index)];
        loadPreset();
    });
    presetLayout->addRow(QStringLiteral("State"), statePicker);
    presetLayout->addRow(QStringLiteral("Heat underneath"), heatPicker);
    for (auto [label, flag] : {std::pair{"Animate", &animate_}, std::pair{"Monochrome", &monochrome_},
                               std::pair{"High contrast", &highContrast_}, std::pair{"Mild caps", &mild_}}) {
        auto* toggle = new QCheckBox(QString::fromUtf8(label), preset);
        toggle->setObjectName(QString::fromUtf8(label));
        toggle->setChecked(*flag);
        connect(toggle, &QCheckBox::toggled, this, [flag = flag, changed](bool on) {
            *flag = on;
            changed();
        });
        presetLayout->addRow(toggle);
    }
    column->addWidget(preset);

    // Shapes.
    auto* shapes = section(QStringLiteral("Shapes"), form);
    auto* shapesLayout = new QFormLayout(shapes);
    const auto enumPicker = [&]<typename E, std::size_t N>(const char* title, const std::array<E, N>& cases,
                                                           E PeaFace::*field) {
        auto* picker = new QComboBox(shapes);
        picker->setObjectName(QString::fromUtf8(title));
        for (const E value : cases) {
            picker->addItem(text(toString(value)));
        }
        connect(picker, &QComboBox::currentIndexChanged, this, [this, cases, field, changed](int index) {
            face_.*field = cases[static_cast<std::size_t>(index)];
            changed();
        });
        reloaders_.push_back([this, picker, cases, field] {
            const QSignalBlocker blocker(picker);
            for (std::size_t i = 0; i < N; ++i) {
                if (cases[i] == face_.*field) {
                    picker->setCurrentIndex(static_cast<int>(i));
                }
            }
        });
        shapesLayout->addRow(QString::fromUtf8(title), picker);
    };
    enumPicker("Eyes", PeaFace::allEyes, &PeaFace::eyes);
    enumPicker("Brows", PeaFace::allBrows, &PeaFace::brows);
    enumPicker("Mouth", PeaFace::allMouths, &PeaFace::mouth);
    enumPicker("Leaf", PeaFace::allLeafPoses, &PeaFace::leaf);
    enumPicker("Accessory", PeaFace::allAccessories, &PeaFace::accessory);
    for (auto [name, field, maximum] :
         {std::tuple{"Sweat drops", &PeaFace::sweatDrops, 4}, std::tuple{"Zs", &PeaFace::sleepZ, 3}}) {
        auto* label = new QLabel(shapes);
        auto* stepper = new QSpinBox(shapes);
        stepper->setObjectName(QString::fromUtf8(name));
        stepper->setRange(0, maximum);
        const QString lead = QString::fromUtf8(name) + QStringLiteral(": ");
        const auto showCount = [this, label, lead, field = field] {
            label->setText(lead + QString::number(face_.*field));
        };
        connect(stepper, &QSpinBox::valueChanged, this, [this, field = field, showCount, changed](int value) {
            face_.*field = value;
            showCount();
            changed();
        });
        reloaders_.push_back([this, stepper, field = field, showCount] {
            const QSignalBlocker blocker(stepper);
            stepper->setValue(static_cast<int>(face_.*field));
            showCount();
        });
        label->setObjectName(QString::fromUtf8(name) + QStringLiteral(" label"));
        shapesLayout->addRow(label, stepper);
    }
    auto* question = new QCheckBox(QStringLiteral("Question mark"), shapes);
    question->setObjectName(QStringLiteral("Question mark"));
    connect(question, &QCheckBox::toggled, this, [this, changed](bool on) {
        face_.questionMark = on;
        changed();
    });
    reloaders_.push_back([this, question] {
        const QSignalBlocker blocker(question);
        question->setChecked(face_.questionMark);
    });
    shapesLayout->addRow(question);
    column->addWidget(shapes);

    // Amounts and animation offsets: labelled sliders with their values.
    const auto sliders = [&](const QString& title, const auto& rows) {
        auto* box = section(title, form);
        auto* boxLayout = new QVBoxLayout(box);
        for (const Amount& amount : rows) {
            auto* row = new QHBoxLayout;
            auto* label = new QLabel(QString::fromUtf8(amount.label), box);
            label->setTextFormat(Qt::PlainText);
            label->setFixedWidth(90);
            auto* slider = new QSlider(Qt::Horizontal, box);
            slider->setObjectName(QString::fromUtf8(amount.label));
            slider->setRange(static_cast<int>(std::lround(amount.minimum * sliderSteps)),
                             static_cast<int>(std::lround(amount.maximum * sliderSteps)));
            auto* value = new QLabel(box);
            value->setObjectName(QString::fromUtf8(amount.label) + QStringLiteral(" value"));
            value->setFixedWidth(40);
            value->setAlignment(Qt::AlignCenter);
            row->addWidget(label);
            row->addWidget(slider, 1);
            row->addWidget(value);
            boxLayout->addLayout(row);
            const auto field = amount.field;
            connect(slider, &QSlider::valueChanged, this, [this, field, value, changed](int position) {
                face_.*field = static_cast<double>(position) / sliderSteps;
                value->setText(amountText(face_.*field));
                changed();
            });
            reloaders_.push_back([this, slider, value, field] {
                const QSignalBlocker blocker(slider);
                slider->setValue(static_cast<int>(std::lround(face_.*field * sliderSteps)));
                value->setText(amountText(face_.*field));
            });
        }
        column->addWidget(box);
    };
    sliders(QStringLiteral("Amounts"), amounts);
    sliders(QStringLiteral("Animation offsets (when not animating)"), offsets);
    column->addStretch(1);
    scroll->setWidget(form);
    return scroll;
}

QWidget* FaceEditorView::makePreviews() {
    auto* previews = new QWidget(this);
    auto* column = new QVBoxLayout(previews);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(24);
    column->addStretch(1);

    auto* tileRow = new QHBoxLayout;
    tileRow->setSpacing(12);
    tileRow->addStretch(1);
    const std::array<MenuBarTile::Background, 4> backgrounds{
        [](QPainter& painter, const QRectF& area) { painter.fillRect(area, Qt::white); },
        [](QPainter& painter, const QRectF& area) { painter.fillRect(area, Qt::black); },
        [](QPainter& painter, const QRectF& area) {
            painter.fillRect(area, QColor::fromRgbF(0.5, 0.5, 0.5));
        },
        BusyBackground::paint};
    for (std::size_t i = 0; i < backgrounds.size(); ++i) {
        auto* tile = new MenuBarTile(backgrounds[i], i == 1, previews);
        tiles_.push_back(tile);
        tileRow->addWidget(tile);
    }
    tileRow->addStretch(1);
    column->addLayout(tileRow);

    auto* fullRow = new QHBoxLayout;
    fullRow->setSpacing(24);
    fullRow->addStretch(1);
    for (const int side : {32, 64, 96}) {
        auto* pea =
            new AnimatedPeaView(face_, PeaFace::Detail::full, style(), animate_, std::nullopt, previews);
        pea->setFixedSize(side, side);
        fullPreviews_.push_back(pea);
        fullRow->addWidget(pea, 0, Qt::AlignBottom);
    }
    auto* backdrop = new Backdrop(previews);
    backdrop->setFixedSize(240, 240);
    auto* backdropLayout = new QVBoxLayout(backdrop);
    backdropLayout->setContentsMargins(0, 0, 0, 0);
    auto* large =
        new AnimatedPeaView(face_, PeaFace::Detail::full, style(), animate_, std::nullopt, backdrop);
    backdropLayout->addWidget(large);
    fullPreviews_.push_back(large);
    fullRow->addWidget(backdrop, 0, Qt::AlignBottom);
    fullRow->addStretch(1);
    column->addLayout(fullRow);

    auto* icon = new AppIconView(previews);
    icon->setFixedSize(128, 128);
    column->addWidget(icon, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return previews;
}

// A preset replaces the whole face: every manual change is dropped.
void FaceEditorView::loadPreset() {
    face_ = halvrick::face(state_, heat_);
    reloadControls();
    refreshPreviews();
}

void FaceEditorView::reloadControls() {
    for (const auto& reload : reloaders_) {
        reload();
    }
}

void FaceEditorView::refreshPreviews() {
    const PeaFace shown = shownFace();
    const PeaStyle drawn = style();
    for (AnimatedPeaView* pea : fullPreviews_) {
        pea->setFace(shown);
        pea->setStyle(drawn);
        pea->setAnimating(animate_);
    }
    for (MenuBarTile* tile : tiles_) {
        tile->setPea(shown, drawn);
    }
}

} // namespace halvrick
