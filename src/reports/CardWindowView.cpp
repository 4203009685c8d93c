#include "reports/CardWindowView.h"

#include "core/Error.h"
#include "ui/CardExport.h"
#include "ui/CardFiles.h"
#include "ui/ShareButton.h"
#include "ui/Theme.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QPainterPath>
#include <QRegion>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

constexpr QSizeF cardSize{600, 600};
constexpr qreal cardScale = 2;
constexpr int cornerRadius = 16;
// Below this the card's smallest text stops being legible.
constexpr int minimumCardSide = 200;

// The card's rounded corners on screen, scaled with the card; the PNG keeps its square ones.
QRegion roundedMask(QSize size) {
    QPainterPath path;
    const qreal radius = cornerRadius * size.width() / cardSize.width();
    path.addRoundedRect(QRectF(QPointF(0, 0), size), radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

} // namespace

CardWindowView::CardWindowView(QWidget* card, ExportCard exportCard, SavePathChooser& chooser, QWidget* parent)
    : QWidget(parent), card_(card), exportCard_(std::move(exportCard)), chooser_(chooser) {
    auto* frame = new QWidget(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    card_->setParent(frame);
    card_->setMask(roundedMask(card_->size()));
    frameLayout->addWidget(card_);
    auto* shadow = new QGraphicsDropShadowEffect(frame);
    shadow->setColor(QColor(0, 0, 0, 84));
    shadow->setBlurRadius(12);
    shadow->setOffset(0, 2);
    frame->setGraphicsEffect(shadow);

    message_ = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
    save_ = new QPushButton(QStringLiteral("Save PNG…"), this);
    save_->setAutoDefault(false);
    connect(save_, &QPushButton::clicked, this, &CardWindowView::save);
    share_ = new ShareButton(QStringLiteral("Share…"), [this] { return exportFile(); }, this);
    share_->setFixedSize(90, 28);

    auto* row = new QHBoxLayout;
    row->addWidget(message_);
    row->addStretch(1);
    row->addWidget(save_);
    row->addWidget(share_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addWidget(frame, 0, Qt::AlignHCenter);
    layout->addLayout(row);
}

std::optional<QString> CardWindowView::writeCard(const CardPainter& paint, const QString& fileName) {
    const std::optional<QString> path = CardFiles::path(fileName);
    if (!path) {
        return std::nullopt;
    }
    try {
        PngExport::writePNG(paint, cardSize, cardScale, *path);
    } catch (const Error&) {
        return std::nullopt;
    }
    return path;
}

void CardWindowView::fitCard(QSize room) {
    const QSize chrome = sizeHint() - card_->size();
    const int side = std::min(
        {static_cast<int>(cardSize.width()), room.width() - chrome.width(), room.height() - chrome.height()});
    card_->setFixedSize(QSize(side, side).expandedTo(QSize(minimumCardSide, minimumCardSide)));
    card_->setMask(roundedMask(card_->size()));
}

std::optional<QString> CardWindowView::exportFile() {
    std::optional<QString> path = exportCard_ ? exportCard_() : std::nullopt;
    if (!path) {
        setMessage(failedText);
    }
    return path;
}

void CardWindowView::save() {
    const std::optional<QString> path = exportFile();
    if (!path) {
        return;
    }
    switch (CardExport::save(*path, chooser_, window())) {
    case CardExport::Outcome::saved:
        setMessage(savedText);
        break;
    case CardExport::Outcome::failed:
        setMessage(failedText);
        break;
    case CardExport::Outcome::cancelled:
        break;
    }
}

void CardWindowView::setMessage(const char* text) { message_->setText(QString::fromUtf8(text)); }

} // namespace halvrick
