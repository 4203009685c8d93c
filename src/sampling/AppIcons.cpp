#include "sampling/AppIcons.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace halvrick {

namespace {

// Icons are small; a larger file is not worth decoding on the main thread.
constexpr qint64 maximumIconFileBytes = 4 * 1024 * 1024;
// The size at which an icon is tried once to see that it draws at all.
constexpr int probeSize = 32;

bool draws(const QIcon& icon) {
    return !icon.isNull() && !icon.pixmap(QSize(probeSize, probeSize), 1.0).isNull();
}

QString initialOf(std::string_view name) {
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (const char32_t c : text.toUcs4()) {
        if (QChar::isLetterOrNumber(c)) {
            return QString::fromUcs4(&c, 1).toUpper();
        }
    }
    return QStringLiteral("?");
}

// Draws at whatever size is asked, so the painted icon is as sharp in a card as in a menu.
class PaintedIconEngine final : public QIconEngine {
public:
    PaintedIconEngine(QString initial, QColor colour) : initial_(std::move(initial)), colour_(colour) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal side = std::min(rect.width(), rect.height());
        if (side <= 0) {
            return;
        }
        const qreal inset = side * 0.06;
        const QRectF square(rect.x() + (rect.width() - side) / 2 + inset,
                            rect.y() + (rect.height() - side) / 2 + inset, side - 2 * inset,
                            side - 2 * inset);
        painter->save();
        painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour_);
        painter->drawRoundedRect(square, square.width() * 0.22, square.height() * 0.22);
        QFont font;
        font.setFamilies({QStringLiteral("Quicksand"), QStringLiteral("DejaVu Sans")});
        font.setBold(true);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(square.height() * 0.58))));
        painter->setFont(font);
        painter->setPen(Qt::white);
        painter->drawText(square, Qt::AlignCenter, initial_);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (size.isEmpty()) {
            return {};
        }
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(initial_, colour_); }
    QString key() const override { return QStringLiteral("halvrick-painted"); }

private:
    QString initial_;
    QColor colour_;
};

} // namespace

AppIcons::AppIcons(std::function<std::shared_ptr<const ApplicationIndex>()> applications,
                   std::optional<Theme> theme)
    : applications_(std::move(applications)) {
    if (theme) {
        QIcon::setThemeSearchPaths(theme->searchPaths);
        QIcon::setThemeName(theme->name);
    }
}

QIcon AppIcons::icon(const AppKey& key) {
    if (const auto cached = cache_.find(key.id); cached != cache_.end()) {
        return cached->second;
    }
    follow(applications_ ? applications_() : nullptr);
    const bool isApp = key.kind == AppKey::Kind::app;
    const auto entry = iconValues_.find(key.id);
    if (isApp && entry == iconValues_.end()) {
        const auto [painted, inserted] = unknown_.try_emplace(key.id);
        if (inserted) {
            painted->second = paintedIcon(key.displayName);
        }
        return painted->second;
    }
    const std::string_view value = isApp                              ? std::string_view(entry->second)
                                   : key.kind == AppKey::Kind::system ? systemIconName
                                                                      : processIconName;
    QIcon icon = iconNamed(value);
    if (icon.isNull()) {
        icon = paintedIcon(key.displayName);
    }
    cache_.emplace(key.id, icon);
    return icon;
}

void AppIcons::follow(const std::shared_ptr<const ApplicationIndex>& index) {
    if (index == index_) {
        return;
    }
    index_ = index;
    iconValues_.clear();
    unknown_.clear();
    if (!index_) {
        return;
    }
    for (const ApplicationIndex::Application& app : index_->applications()) {
        iconValues_.emplace(app.key.id, app.icon);
    }
}

QIcon AppIcons::iconNamed(std::string_view iconValue) {
    if (iconValue.empty()) {
        return {};
    }
    const QString value =
        QFile::decodeName(QByteArray(iconValue.data(), static_cast<qsizetype>(iconValue.size())));
    if (value.startsWith(QLatin1Char('/'))) {
        // Only a plain file: a device or a pipe named here would never finish reading.
        const QFileInfo file(value);
        if (!file.isFile() || file.size() > maximumIconFileBytes) {
            return {};
        }
        QIcon icon(file.absoluteFilePath());
        return draws(icon) ? icon : QIcon();
    }
    if (value.contains(QLatin1Char('/'))) {
        return {};
    }
    QString name = value;
    for (const QLatin1String suffix : {QLatin1String(".png"), QLatin1String(".svg"), QLatin1String(".xpm")}) {
        if (name.endsWith(suffix, Qt::CaseInsensitive)) {
            name.chop(suffix.size());
            break;
        }
    }
    QIcon icon = QIcon::fromTheme(name);
    return draws(icon) ? icon : QIcon();
}

QIcon AppIcons::paintedIcon(std::string_view name) {
    return QIcon(new PaintedIconEngine(initialOf(name), colourFor(name)));
}

QColor AppIcons::colourFor(std::string_view name) {
    // FNV-1a: the same name gets the same colour in every run and every build.
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return QColor::fromHsv(static_cast<int>(hash % 360), 150, 185);
}

QImage AppIcons::render(const QIcon& icon, int pixelSize) {
    if (pixelSize < 1) {
        return {};
    }
    QImage image(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QPixmap pixmap = icon.pixmap(QSize(pixelSize, pixelSize), 1.0);
    if (pixmap.isNull()) {
        return image;
    }
    // A theme may have only smaller sizes: scale up rather than leave the square half empty.
    const QSize size = pixmap.size().scaled(pixelSize, pixelSize, Qt::KeepAspectRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint((pixelSize - size.width()) / 2, (pixelSize - size.height()) / 2), size),
                       pixmap);
    return image;
}

} // namespace halvrick
