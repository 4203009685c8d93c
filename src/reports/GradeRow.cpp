#include "reports/GradeRow.h"

#include "core/FaceState.h"
#include "model/Copy.h"
#include "pea/PeaView.h"
#include "reports/GradeCard.h"
#include "ui/GlyphView.h"
#include "ui/HistoryDates.h"
#include "ui/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace halvrick {

namespace {

constexpr int badgeSide = 62;

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

QFont roundedFont(int pixels, QFont::Weight weight) {
    QFont font;
    font.setFamilies({QStringLiteral("Quicksand"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

// The letter and value on the tint, with the tint's underline.
class GradeBadge : public QWidget {
public:
    explicit GradeBadge(const GradeRow& row, QWidget* parent) : QWidget(parent), row_(row) {
        setFixedSize(badgeSide, badgeSide);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const std::optional<DailyGrade>& grade = row_.grade();
        if (!grade) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor tint = row_.tint();
        QColor soft = tint;
        soft.setAlphaF(0.14f);
        QPainterPath tile;
        tile.addRoundedRect(QRectF(rect()), 14, 14);
        painter.fillPath(tile, soft);
        QPainterPath underline;
        underline.addRoundedRect(QRectF((badgeSide - 30) / 2.0, badgeSide - 6 - 3, 30, 3), 1.5, 1.5);
        painter.fillPath(underline, tint);
        painter.setPen(Theme::text(Theme::Tone::primary, palette()));
        painter.setFont(roundedFont(34, QFont::ExtraBold));
        painter.drawText(QRectF(0, 4, badgeSide, 40), Qt::AlignCenter, text(toString(grade->letter)));
        painter.setPen(Theme::text(Theme::Tone::secondary, palette()));
        painter.setFont(roundedFont(10, QFont::DemiBold));
        painter.drawText(QRectF(0, 40, badgeSide, 13), Qt::AlignCenter, QString::number(grade->value));
    }

private:
    const GradeRow& row_;
};

// One day of the week: its letter over its weekday, today ringed in the accent colour.
class GradeChipView : public QWidget {
public:
    GradeChipView(GradeRow::Chip chip, QWidget* parent) : QWidget(parent), chip_(std::move(chip)) {
        setFixedSize(32, 38);
        setAccessibleName(chip_.accessibleLabel);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
        QPainterPath shape;
        shape.addRoundedRect(area, 6, 6);
        painter.fillPath(shape, Theme::text(Theme::Tone::secondary, palette(), chip_.isToday ? 0.3 : 0.14));
        if (chip_.isToday) {
            painter.setPen(QPen(Theme::accent(palette()), 1.5));
            painter.drawPath(shape);
        }
        painter.setPen(Theme::text(chip_.hasGrade ? Theme::Tone::primary : Theme::Tone::secondary, palette()));
        painter.setFont(roundedFont(11, QFont::Bold));
        painter.drawText(QRectF(0, 5, width(), 15), Qt::AlignCenter, chip_.letter);
        painter.setPen(Theme::text(Theme::Tone::secondary, palette()));
        QFont weekday = font();
        weekday.setPixelSize(10);
        painter.setFont(weekday);
        painter.drawText(QRectF(0, 21, width(), 13), Qt::AlignCenter, chip_.weekday);
    }

private:
    GradeRow::Chip chip_;
};

} // namespace

std::optional<DailyGrade> GradeRow::todayGrade(const std::vector<DailyTotals>& days) {
    return days.empty() ? std::nullopt : DailyGrade::evaluate(days.back());
}

std::vector<GradeRow::Chip> GradeRow::chips(const std::vector<DailyTotals>& days, Date now, const Calendar& calendar) {
    std::vector<Chip> result;
    for (const DailyTotals& day : days) {
        const std::optional<DailyGrade> grade = DailyGrade::evaluate(day);
        Chip chip;
        chip.day = day.day;
        chip.hasGrade = grade.has_value();
        chip.letter = grade ? text(toString(grade->letter)) : QStringLiteral("–");
        chip.weekday = HistoryDates::format(day.date, calendar, "ddd");
        chip.isToday = calendar.isSameDay(day.date, now);
        chip.accessibleLabel =
            grade ? QStringLiteral("%1: %2, %3 out of 100").arg(chip.weekday, chip.letter).arg(grade->value)
                  : chip.weekday + QStringLiteral(": no grade");
        result.push_back(std::move(chip));
    }
    return result;
}

GradeRow::GradeRow(ShareButton::MakeFile makeShareFile, QWidget* parent)
    : RoundedPanel({QColor(), 12, std::nullopt, 1}, parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 14, 14, 14);
    row->setSpacing(14);

    auto* badgeSlot = new QWidget(this);
    badgeSlot->setFixedSize(badgeSide, badgeSide);
    badge_ = new GradeBadge(*this, badgeSlot);
    dozing_ = new PeaView(face(FaceState::dozing, HeatState::chill), PeaFace::Detail::full, PeaStyle{}, badgeSlot);
    dozing_->setFixedSize(badgeSide, badgeSide);
    row->addWidget(badgeSlot, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    column->setSpacing(7);
    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    QLabel* title = Theme::label(this, TextStyle::headline);
    title->setText(QStringLiteral("Today's grade"));
    header->addWidget(title);
    info_ = new GlyphView(Glyph::infoCircle, Theme::Tone::secondary, 12, this);
    info_->setToolTip(QString::fromUtf8(scaleHelp).toHtmlEscaped());
    info_->setAccessibleName(QString::fromUtf8(scaleHelp));
    header->addWidget(info_);
    header->addStretch(1);
    column->addLayout(header);
    line_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    line_->setWordWrap(true);
    column->addWidget(line_);
    chipRow_ = new QHBoxLayout;
    chipRow_->setSpacing(5);
    chipRow_->addStretch(1);
    column->addLayout(chipRow_);
    row->addLayout(column, 1);

    row->addSpacing(8);
    share_ = new ShareButton(QString::fromUtf8(shareTitle), std::move(makeShareFile), this);
    share_->setFixedSize(136, 28);
    row->addWidget(share_, 0, Qt::AlignTop);
    setLook({Theme::text(Theme::Tone::secondary, palette(), 0.12), 12, std::nullopt, 1});
    // A scrolling column must not squeeze the row below what its chips need.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
}

QColor GradeRow::tint() const {
    return grade_ ? GradeCard::tint(grade_->letter, Theme::isDark(palette()), highContrast_) : QColor();
}

void GradeRow::set(const std::vector<DailyTotals>& days, Personality personality, Date now,
                   const Calendar& calendar, bool highContrast) {
    grade_ = todayGrade(days);
    highContrast_ = highContrast;
    badge_->setVisible(grade_.has_value());
    dozing_->setVisible(!grade_);
    badge_->setAccessibleName(grade_ ? text(Copy::gradeAccessibility(*grade_)) : QString());
    Theme::setTextIfChanged(*line_, grade_ ? text(Copy::gradeLine(*grade_, personality)) : QString::fromUtf8(noGradeLine));
    share_->setVisible(grade_.has_value());
    std::vector<Chip> next = chips(days, now, calendar);
    if (next != chips_) {
        chips_ = std::move(next);
        rebuildChips();
    }
    badge_->update();
}

void GradeRow::rebuildChips() {
    for (QWidget* view : chipViews_) {
        delete view;
    }
    chipViews_.clear();
    for (const Chip& chip : chips_) {
        auto* view = new GradeChipView(chip, this);
        chipRow_->insertWidget(chipRow_->count() - 1, view);
        chipViews_.push_back(view);
    }
}

void GradeRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        setLook({Theme::text(Theme::Tone::secondary, palette(), 0.12), 12, std::nullopt, 1});
        badge_->update();
    }
    RoundedPanel::changeEvent(event);
}

} // namespace halvrick
