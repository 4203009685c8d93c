#include "reports/ChallengeSection.h"

#include "model/AppModel.h"
#include "model/ChallengeStore.h"
#include "model/Copy.h"
#include "ui/GlyphView.h"
#include "ui/Glyphs.h"
#include "ui/HistoryDates.h"
#include "ui/RoundedPanel.h"
#include "ui/Theme.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace halvrick {

namespace {

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

QLabel* label(QWidget* parent, const QString& value, TextStyle style, Theme::Tone tone = Theme::Tone::primary,
              bool semibold = false) {
    QLabel* result = Theme::label(parent, style, tone);
    result->setText(value);
    if (semibold) {
        QFont font = result->font();
        font.setWeight(QFont::DemiBold);
        result->setFont(font);
    }
    return result;
}

QPushButton* smallButton(QWidget* parent, const QString& title, bool borderless = false) {
    auto* button = new QPushButton(title, parent);
    button->setAutoDefault(false);
    button->setFont(Theme::font(TextStyle::caption, button->font(), true));
    button->setFlat(borderless);
    return button;
}

// The surface every card of the section sits on.
RoundedPanel* surface(QWidget* parent) {
    return new RoundedPanel({Theme::text(Theme::Tone::secondary, parent->palette(), 0.12), 10, std::nullopt, 1},
                            parent);
}

// One day of the running challenge: met, missed, today or still to come, over its weekday.
class DayDot : public QWidget {
public:
    DayDot(ChallengeDay day, QString weekday, QWidget* parent)
        : QWidget(parent), day_(day), weekday_(std::move(weekday)) {
        setFixedSize(34, 38);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (day_.isToday) {
            QPainterPath shape;
            shape.addRoundedRect(QRectF(rect()).adjusted(0.6, 0.6, -0.6, -0.6), 6, 6);
            painter.fillPath(shape, Theme::accent(palette(), 0.1));
            painter.setPen(QPen(Theme::accent(palette()), 1.2));
            painter.drawPath(shape);
        }
        const QRectF icon(10, 4, 14, 14);
        if (day_.isMet) {
            Glyphs::paint(painter, Glyph::checkmarkCircle, icon, Theme::colour(Theme::Colour::green, palette()));
        } else if (!day_.isToday && !day_.isFuture) {
            Glyphs::paint(painter, Glyph::xmarkCircle, icon, Theme::colour(Theme::Colour::orange, palette()));
        } else {
            Glyphs::paint(painter, Glyph::circle, icon,
                          Theme::text(Theme::Tone::secondary, palette(), day_.isFuture ? 0.5 : 1));
        }
        painter.setPen(Theme::text(Theme::Tone::secondary, palette()));
        QFont small = font();
        small.setPixelSize(10);
        painter.setFont(small);
        painter.drawText(QRectF(0, 21, width(), 14), Qt::AlignCenter, weekday_);
    }

private:
    ChallengeDay day_;
    QString weekday_;
};

} // namespace

ChallengeSection::Card ChallengeSection::choose(const std::optional<ChallengeResult>& result,
                                                const std::optional<ActiveChallenge>& active,
                                                const std::optional<ChallengeProgress>& progress) {
    if (result) {
        return Card::result;
    }
    return active && progress ? Card::active : Card::starters;
}

QString ChallengeSection::dotLabel(const ChallengeDay& day, const Calendar& calendar) {
    const QString weekday = HistoryDates::format(day.date, calendar, "ddd");
    if (day.isMet) {
        return weekday + QStringLiteral(": met");
    }
    if (day.isFuture) {
        return weekday + QStringLiteral(": upcoming");
    }
    if (day.isToday) {
        return weekday + QStringLiteral(": today, not met yet");
    }
    return weekday + QStringLiteral(": missed");
}

ChallengeSection::ChallengeSection(AppModel& model, std::function<Date()> now, std::function<Calendar()> calendar,
                                   QWidget* parent)
    : QWidget(parent), model_(model), now_(std::move(now)), calendar_(std::move(calendar)),
      lastActive_(model.activeChallenge()) {
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(10);
    column_->addWidget(label(this, QStringLiteral("This week's challenge"), TextStyle::headline));
    connect(&model_, &AppModel::activeChallengeChanged, this, &ChallengeSection::refresh);
    connect(&model_, &AppModel::challengeResultChanged, this, &ChallengeSection::refresh);
    rebuild();
}

void ChallengeSection::refresh() {
    if (model_.activeChallenge() != lastActive_) {
        lastActive_ = model_.activeChallenge();
        confirmingGiveUp_ = false;
    }
    rebuild();
}

void ChallengeSection::setConfirmingGiveUp(bool confirming) {
    confirmingGiveUp_ = confirming;
    rebuild();
}

void ChallengeSection::rebuild() {
    Shown state{model_.challengeResult(), model_.activeChallenge(), model_.challengeProgress(now_()),
                confirmingGiveUp_};
    if (state == built_) {
        return;
    }
    card_ = choose(state.result, state.active, state.progress);
    QWidget* next = nullptr;
    switch (card_) {
    case Card::result:
        next = resultCard(*state.result);
        break;
    case Card::active:
        next = activeCard(*state.active, *state.progress);
        break;
    case Card::starters:
        next = starterCards();
        break;
    }
    // The button that asked for this may be part of the old card: it goes once its click is over.
    if (shown_) {
        shown_->hide();
        shown_->deleteLater();
    }
    shown_ = next;
    built_ = std::move(state);
    // A scrolling column must not squeeze the card below its content.
    shown_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    column_->addWidget(shown_);
}

QWidget* ChallengeSection::resultCard(const ChallengeResult& result) {
    RoundedPanel* card = surface(this);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(12, 12, 12, 12);
    row->setSpacing(12);
    const bool won = result.outcome == ChallengeResult::Outcome::completed;
    auto* icon = new GlyphView(won ? Glyph::checkmarkCircle : Glyph::flag, Theme::Tone::primary, 26, card);
    Theme::setTextColour(*icon, Theme::colour(won ? Theme::Colour::green : Theme::Colour::orange, palette()));
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* column = new QVBoxLayout;
    column->setSpacing(5);
    column->addWidget(label(card, won ? QStringLiteral("Challenge complete.") : QStringLiteral("Not this time."),
                            TextStyle::callout, Theme::Tone::primary, true));
    QLabel* body = label(card, text(Copy::challengeResultBody(result)), TextStyle::caption, Theme::Tone::secondary);
    body->setWordWrap(true);
    column->addWidget(body);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    QPushButton* another = smallButton(card, QStringLiteral("Start another"));
    QPushButton* dismiss = smallButton(card, QStringLiteral("Dismiss"), true);
    for (QPushButton* button : {another, dismiss}) {
        connect(button, &QPushButton::clicked, this, [this] {
            model_.challenges().dismissResult();
            model_.syncChallengeStore();
            refresh();
        });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    column->addLayout(buttons);
    row->addLayout(column, 1);
    return card;
}

QWidget* ChallengeSection::activeCard(const ActiveChallenge& challenge, const ChallengeProgress& progress) {
    const Calendar calendar = calendar_();
    RoundedPanel* card = surface(this);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(10);

    auto* title = new QHBoxLayout;
    title->addWidget(label(card, text(Copy::challengeTitle(challenge.kind)), TextStyle::callout,
                           Theme::Tone::primary, true));
    title->addStretch(1);
    title->addWidget(label(card, text(Copy::challengeDay(progress)), TextStyle::caption, Theme::Tone::secondary));
    column->addLayout(title);
    column->addWidget(label(card, text(Copy::challengeGoal(challenge.kind)), TextStyle::caption, Theme::Tone::secondary));

    auto* dots = new QHBoxLayout;
    dots->setSpacing(6);
    for (const ChallengeDay& day : progress.days) {
        auto* dot = new DayDot(day, HistoryDates::format(day.date, calendar, "ddd"), card);
        dot->setAccessibleName(dotLabel(day, calendar));
        dots->addWidget(dot);
    }
    dots->addStretch(1);
    column->addLayout(dots);

    auto* footer = new QHBoxLayout;
    footer->setSpacing(10);
    footer->addWidget(label(card, text(Copy::challengeMet(progress.metIncludingToday(), progress.requiredDays)),
                            TextStyle::caption));
    footer->addWidget(label(card, QStringLiteral("·"), TextStyle::caption, Theme::Tone::secondary));
    footer->addWidget(label(card, text(Copy::missesLeft(progress)), TextStyle::caption, Theme::Tone::secondary));
    footer->addStretch(1);
    if (!confirmingGiveUp_) {
        QPushButton* giveUp = smallButton(card, QStringLiteral("Give up"), true);
        connect(giveUp, &QPushButton::clicked, this, [this] { setConfirmingGiveUp(true); });
        footer->addWidget(giveUp);
    }
    column->addLayout(footer);

    if (confirmingGiveUp_) {
        auto* confirm = new QHBoxLayout;
        confirm->setSpacing(8);
        QLabel* question = label(card, QString::fromUtf8(giveUpQuestion), TextStyle::caption, Theme::Tone::secondary);
        question->setWordWrap(true);
        confirm->addWidget(question, 1);
        confirm->addSpacing(8);
        QPushButton* keepGoing = smallButton(card, QStringLiteral("Keep going"));
        connect(keepGoing, &QPushButton::clicked, this, [this] { setConfirmingGiveUp(false); });
        confirm->addWidget(keepGoing);
        QPushButton* giveUp = smallButton(card, QStringLiteral("Give up"));
        Theme::setTextColour(*giveUp, Theme::colour(Theme::Colour::red, palette()));
        connect(giveUp, &QPushButton::clicked, this, [this] {
            model_.challenges().giveUp();
            model_.syncChallengeStore();
            refresh();
        });
        confirm->addWidget(giveUp);
        column->addLayout(confirm);
    }
    return card;
}

QWidget* ChallengeSection::starterCards() {
    auto* grid = new QWidget(this);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(10);
    int column = 0;
    for (const ChallengeKind kind : allChallengeKinds) {
        RoundedPanel* card = surface(grid);
        card->setMinimumHeight(116);
        auto* stack = new QVBoxLayout(card);
        stack->setContentsMargins(12, 12, 12, 12);
        stack->setSpacing(6);
        stack->addWidget(label(card, text(Copy::challengeTitle(kind)), TextStyle::callout, Theme::Tone::primary, true));
        QLabel* goal = label(card, text(Copy::challengeGoal(kind)), TextStyle::caption, Theme::Tone::secondary);
        goal->setWordWrap(true);
        stack->addWidget(goal);
        stack->addStretch(1);
        QPushButton* start = smallButton(card, QStringLiteral("Start"));
        start->setObjectName(text(Copy::challengeTitle(kind)));
        connect(start, &QPushButton::clicked, this, [this, kind] {
            model_.startChallenge(kind, now_());
            refresh();
        });
        stack->addWidget(start, 0, Qt::AlignLeft);
        layout->addWidget(card, 0, column);
        layout->setColumnStretch(column, 1);
        ++column;
    }
    return grid;
}

} // namespace halvrick
