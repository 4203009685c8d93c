#include "settings/FirstRunView.h"

#include "core/FaceState.h"
#include "model/Copy.h"
#include "pea/AnimatedPeaView.h"
#include "ui/RoastCard.h"
#include "ui/Theme.h"

#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

constexpr int cardSide = 252;

// The sample roast card at 0.42 of its size, with its corners rounded at that scale.
class SampleCard : public QWidget {
public:
    SampleCard(RoastCardData data, QWidget* parent) : QWidget(parent), data_(std::move(data)) {
        setFixedSize(cardSide, cardSide);
        setAccessibleName(QString::fromUtf8(Copy::firstRunCardLabel.data(),
                                            static_cast<qsizetype>(Copy::firstRunCardLabel.size())));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath corners;
        const qreal radius = 16 * cardSide / RoastCard::size.width();
        corners.addRoundedRect(QRectF(rect()), radius, radius);
        painter.setClipPath(corners);
        RoastCard::paint(painter, size(), data_);
    }

private:
    RoastCardData data_;
};

QLabel* wrappingLabel(QWidget* parent, const QString& text, TextStyle style, Theme::Tone tone) {
    QLabel* label = Theme::wrappingLabel(parent, text, style, tone);
    // Wrapping text takes the width it is given instead of asking for a line's worth.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

} // namespace

RoastCardData FirstRunView::sampleCard(Date now, const Calendar& calendar) {
    RoastCardData data;
    data.app = AppKey(AppKey::Kind::app, "/usr/share/applications/firefox.desktop", "Firefox");
    data.state = HeatState::sweating;
    data.cpuLoad = 78;
    data.share = 0.42;
    data.personality = Personality::mild;
    data.dateText = RoastCard::dateText(now, calendar);
    return data;
}

FirstRunView::FirstRunView(Choices choices, Date now, const Calendar& calendar,
                           std::function<void(bool openAtLogin, bool notify)> onDone, std::function<void()> onSkip,
                           QWidget* parent)
    : QWidget(parent) {
    setMinimumWidth(width);

    auto* body = new QWidget;
    auto* stack = new QVBoxLayout(body);
    stack->setContentsMargins(24, 24, 24, 20);
    stack->setSpacing(16);
    pea_ = new AnimatedPeaView(face(FaceState::hello, HeatState::chill), PeaFace::Detail::full, PeaStyle{},
                               true, std::nullopt, body);
    pea_->setFixedSize(96, 96);
    stack->addWidget(pea_, 0, Qt::AlignHCenter);
    QLabel* hello = Theme::label(body, TextStyle::title2);
    hello->setText(QStringLiteral("Hi, I'm Halvrick."));
    stack->addWidget(hello, 0, Qt::AlignHCenter);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(24);
    auto* left = new QVBoxLayout;
    left->setSpacing(14);
    left->addWidget(wrappingLabel(body,
                                  QStringLiteral("I live in your tray. I sweat when your computer works hard, tell "
                                                 "you which app is doing it, and ask for a break now and then. For "
                                                 "both of us."),
                                  TextStyle::body, Theme::Tone::primary));
    left->addWidget(wrappingLabel(body, QStringLiteral("Everything stays on this computer. No accounts, no analytics."),
                                  TextStyle::callout, Theme::Tone::secondary));
    auto* toggles = new QVBoxLayout;
    toggles->setSpacing(8);
    openAtLogin_ = new QCheckBox(QStringLiteral("Open Halvrick when I log in"), body);
    openAtLogin_->setChecked(choices.packaged && choices.openAtLogin);
    notify_ = new QCheckBox(QStringLiteral("Also send notifications for breaks and reminders"), body);
    openAtLogin_->setEnabled(choices.packaged);
    notify_->setEnabled(choices.packaged);
    toggles->addWidget(openAtLogin_);
    toggles->addWidget(notify_);
    if (!choices.packaged) {
        toggles->addWidget(wrappingLabel(body, QString::fromUtf8(developmentNote), TextStyle::caption,
                                         Theme::Tone::secondary));
    }
    left->addLayout(toggles);
    left->addStretch(1);
    columns->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    right->setSpacing(10);
    card_ = new SampleCard(sampleCard(now, calendar), body);
    auto* shadow = new QGraphicsDropShadowEffect(card_);
    shadow->setColor(QColor(0, 0, 0, 46));
    shadow->setBlurRadius(16);
    shadow->setOffset(0, 3);
    card_->setGraphicsEffect(shadow);
    right->addWidget(card_);
    QLabel* caption = wrappingLabel(
        body, QStringLiteral("When an app is cooking your computer, the pea makes one of these. Save it, send it, or "
                             "keep it."),
        TextStyle::caption, Theme::Tone::secondary);
    caption->setFixedWidth(cardSide);
    right->addWidget(caption);
    right->addStretch(1);
    columns->addLayout(right);
    stack->addLayout(columns);

    auto* scroll = scroll_ = new QScrollArea(this);
    scroll->setWidget(body);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Wider than designed when the desktop's font needs it: a choice must never be cut off.
    scroll->setMinimumWidth(std::max(width, body->minimumSizeHint().width() +
                                                scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent)));

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(16, 16, 16, 16);
    footer->setSpacing(12);
    footer->addWidget(wrappingLabel(this, QStringLiteral("I'll be in the tray. Click me there any time."),
                                    TextStyle::caption, Theme::Tone::secondary),
                      1);
    skip_ = new QPushButton(QStringLiteral("Skip"), this);
    go_ = new QPushButton(QStringLiteral("Let's go"), this);
    go_->setDefault(true);
    go_->setMinimumHeight(32);
    footer->addWidget(skip_);
    footer->addWidget(go_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scroll);
    layout->addWidget(divider);
    layout->addLayout(footer);

    connect(skip_, &QPushButton::clicked, this, [onSkip] { onSkip(); });
    connect(go_, &QPushButton::clicked, this, [this, onDone] { onDone(openAtLogin_->isChecked(), notify_->isChecked()); });
    // A plain window has no default and cancel buttons of its own.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        connect(new QShortcut(key, this), &QShortcut::activated, go_, &QPushButton::click);
    }
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, skip_, &QPushButton::click);
}

QSize FirstRunView::sizeHint() const {
    QSize hint = QWidget::sizeHint();
    hint.setHeight(hint.height() - scroll_->sizeHint().height() + scrollHeight);
    return hint;
}

} // namespace halvrick
