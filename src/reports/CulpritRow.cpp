#include "reports/CulpritRow.h"

#include "ui/ElidedLabel.h"
#include "ui/PlainText.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace halvrick {

CulpritRow::CulpritRow(IconSource icons, QWidget* parent) : QWidget(parent), icons_(std::move(icons)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(10);
    rank_ = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
    rank_->setFixedWidth(18);
    rank_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    icon_ = new QLabel(this);
    icon_->setFixedSize(iconSize, iconSize);
    auto* names = new QVBoxLayout;
    names->setSpacing(1);
    name_ = new ElidedLabel(this, Qt::ElideMiddle);
    caption_ = Theme::label(this, TextStyle::caption2, Theme::Tone::secondary);
    names->addWidget(name_);
    names->addWidget(caption_);
    duration_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    row->addWidget(rank_);
    row->addWidget(icon_);
    row->addLayout(names, 1);
    row->addWidget(duration_);
}

void CulpritRow::set(int rank, const AppKey& key, const QString& caption, const QString& duration) {
    Theme::setTextIfChanged(*rank_, QString::number(rank));
    if (key != key_ || icon_->pixmap().isNull()) {
        key_ = key;
        const qreal ratio = devicePixelRatioF();
        QPixmap pixmap;
        if (icons_) {
            pixmap = QPixmap::fromImage(icons_(key, qRound(iconSize * ratio)));
            pixmap.setDevicePixelRatio(ratio);
        }
        icon_->setPixmap(pixmap);
    }
    const QString name = PlainText::name(key.displayName);
    if (name_->fullText() != name) {
        name_->setFullText(name);
    }
    Theme::setTextIfChanged(*caption_, caption);
    caption_->setVisible(!caption.isEmpty());
    Theme::setTextIfChanged(*duration_, duration);
}

QString CulpritRow::rank() const {
    return rank_->text();
}
const QString& CulpritRow::name() const {
    return name_->fullText();
}
QString CulpritRow::caption() const {
    return caption_->text();
}
QString CulpritRow::duration() const {
    return duration_->text();
}

} // namespace halvrick
