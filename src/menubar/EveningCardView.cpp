#include "menubar/EveningCardView.h"

#include "core/DisplayText.h"
#include "core/FaceState.h"
#include "model/AppModel.h"
#include "model/Copy.h"
#include "pea/PeaView.h"
#include "ui/PlainText.h"
#include "ui/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace halvrick {

namespace {

RoundedPanel::Look cardLook(const QPalette& palette) {
    return {Theme::colour(Theme::Colour::blue, palette, 0.1), 10, Theme::colour(Theme::Colour::blue, palette, 0.22),
            1};
}

} // namespace

PeaFace EveningCardView::peaFace() { return face(FaceState::hello, HeatState::chill); }

EveningCardView::EveningCardView(EveningSummary summary, AppModel& model, std::function<void()> openHistory,
                                 QWidget* parent)
    : RoundedPanel(cardLook(QPalette()), parent), model_(model), openHistory_(std::move(openHistory)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    pea_ = new PeaView(peaFace(), PeaFace::Detail::full, peaStyle(), this);
    pea_->setFixedSize(42, 42);
    top->addWidget(pea_, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    title_ = Theme::label(this, TextStyle::callout);
    QFont semibold = title_->font();
    semibold.setWeight(QFont::DemiBold);
    title_->setFont(semibold);
    title_->setWordWrap(true);
    texts->addWidget(title_);
    body_ = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
    body_->setWordWrap(true);
    texts->addWidget(body_);
    top->addLayout(texts, 1);
    column->addLayout(top);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    goodnight_ = new QPushButton(QStringLiteral("Goodnight"), this);
    goodnight_->setFont(Theme::font(TextStyle::body, goodnight_->font(), true));
    connect(goodnight_, &QPushButton::clicked, this, [this] { model_.dismissEvening(); });
    buttons->addWidget(goodnight_);
    lookBack_ = new QPushButton(QStringLiteral("Look back"), this);
    lookBack_->setFont(Theme::font(TextStyle::body, lookBack_->font(), true));
    lookBack_->setFlat(true);
    connect(lookBack_, &QPushButton::clicked, this, [this] {
        if (openHistory_) {
            openHistory_();
        }
    });
    buttons->addWidget(lookBack_);
    buttons->addStretch(1);
    column->addLayout(buttons);

    applyLook();
    setSummary(summary);
}

void EveningCardView::setSummary(const EveningSummary& summary) {
    summary_ = summary;
    Theme::setTextIfChanged(*title_, QString::fromStdString(Copy::eveningTitle(summary.grade)));
    const std::optional<std::string> culprit =
        summary.culprit ? std::optional(DisplayText::neutralised(*summary.culprit, DisplayText::longestName))
                        : std::nullopt;
    Theme::setTextIfChanged(
        *body_, PlainText::shown(Copy::eveningBody(summary.heatSeconds, summary.breaksTaken, culprit)));
}

void EveningCardView::applyLook() {
    setLook(cardLook(palette()));
    QPalette buttonText = lookBack_->palette();
    buttonText.setColor(QPalette::ButtonText, Theme::accent(palette()));
    lookBack_->setPalette(buttonText);
}

void EveningCardView::changeEvent(QEvent* event) {
    RoundedPanel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        applyLook();
    }
}

} // namespace halvrick
