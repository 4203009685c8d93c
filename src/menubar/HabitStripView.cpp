#include "menubar/HabitStripView.h"

#include "model/AppModel.h"
#include "model/Copy.h"
#include "ui/ElidedLabel.h"
#include "ui/GlyphView.h"
#include "ui/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace halvrick {

namespace {

RoundedPanel::Look stripLook(const QPalette& palette) {
    return {Theme::text(Theme::Tone::secondary, palette, 0.08), 7, std::nullopt, 1};
}

} // namespace

std::optional<HabitStripView::Content> HabitStripView::content(const std::optional<DailyGrade>& grade,
                                                               std::optional<ChallengeKind> kind,
                                                               const std::optional<ChallengeProgress>& progress) {
    const bool challenge = kind && progress;
    if (!grade && !challenge) {
        return std::nullopt;
    }
    Content c;
    c.hasGrade = grade.has_value();
    c.gradeText = grade ? "Today's grade · " + std::string(toString(grade->letter)) + " " + std::to_string(grade->value)
                        : "Today · warming up";
    if (challenge) {
        c.challengeText = std::string(Copy::challengeTitle(*kind)) + " · " + std::to_string(progress->metIncludingToday()) + "/" +
                          std::to_string(progress->requiredDays);
    }
    return c;
}

HabitStripView::HabitStripView(AppModel& model, std::function<void()> openHistory, std::function<Date()> now,
                               QWidget* parent)
    : RoundedPanel(stripLook(QPalette()), parent), model_(model), openHistory_(std::move(openHistory)),
      now_(std::move(now)) {
    setToolTip(QString::fromUtf8(Copy::habitStripHint.data(), static_cast<qsizetype>(Copy::habitStripHint.size())));
    setFocusPolicy(Qt::StrongFocus);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(9, 6, 9, 6);
    row->setSpacing(7);
    grade_ = new ElidedLabel(this, Qt::ElideRight);
    row->addWidget(grade_);
    dot_ = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
    dot_->setText(QStringLiteral("·"));
    row->addWidget(dot_);
    challenge_ = new ElidedLabel(this, Qt::ElideRight);
    challenge_->setFont(Theme::font(TextStyle::caption, challenge_->font()));
    row->addWidget(challenge_);
    row->addSpacerItem(new QSpacerItem(4, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
    chevron_ = new GlyphView(Glyph::chevronRight, Theme::Tone::tertiary, Theme::pixelSize(TextStyle::caption2), this);
    row->addWidget(chevron_);
    // The strip is one button: the texts must not take its clicks or hide its tooltip.
    for (QWidget* child : {static_cast<QWidget*>(grade_), static_cast<QWidget*>(dot_),
                           static_cast<QWidget*>(challenge_), static_cast<QWidget*>(chevron_)}) {
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    refresh();
}

void HabitStripView::refresh() {
    const Date now = now_();
    const std::optional<DailyGrade> grade = model_.todayGrade(now);
    std::optional<ChallengeKind> kind;
    std::optional<ChallengeProgress> progress;
    if (model_.activeChallenge()) {
        kind = model_.activeChallenge()->kind;
        progress = model_.challengeProgress(now);
    }
    std::optional<Content> next = content(grade, kind, progress);
    if (next != shown_) {
        const bool toneChanged = !shown_ || !next || shown_->hasGrade != next->hasGrade;
        shown_ = std::move(next);
        if (shown_) {
            grade_->setFullText(QString::fromStdString(shown_->gradeText));
            challenge_->setFullText(QString::fromStdString(shown_->challengeText.value_or("")));
            dot_->setVisible(shown_->challengeText.has_value());
            challenge_->setVisible(shown_->challengeText.has_value());
            setAccessibleName(grade_->fullText() +
                              (shown_->challengeText ? QStringLiteral(", ") + challenge_->fullText() : QString()));
            if (toneChanged) {
                applyLook();
            }
        }
    }
    // The popover may have hidden the strip meanwhile.
    setVisible(shown_.has_value());
}

void HabitStripView::applyLook() {
    setLook(stripLook(palette()));
    const bool hasGrade = shown_ && shown_->hasGrade;
    QFont font = Theme::font(TextStyle::caption, grade_->font());
    if (hasGrade) {
        font.setWeight(QFont::DemiBold);
    }
    grade_->setFont(font);
    Theme::setTextColour(*grade_, Theme::text(hasGrade ? Theme::Tone::primary : Theme::Tone::secondary, palette()));
    Theme::setTextColour(*challenge_, Theme::text(Theme::Tone::primary, palette()));
}

void HabitStripView::mousePressEvent(QMouseEvent* event) { event->accept(); }

void HabitStripView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && openHistory_) {
        openHistory_();
    }
    event->accept();
}

void HabitStripView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && openHistory_) {
        openHistory_();
        return;
    }
    RoundedPanel::keyPressEvent(event);
}

void HabitStripView::paintEvent(QPaintEvent* event) {
    RoundedPanel::paintEvent(event);
    if (hasFocus()) {
        // The strip is a button: the keyboard on it shows as a ring.
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
    }
}

void HabitStripView::changeEvent(QEvent* event) {
    RoundedPanel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        applyLook();
    }
}

} // namespace halvrick
