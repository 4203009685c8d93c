#include "menubar/BlameRows.h"

#include "ui/PlainText.h"
#include "core/CulpritNotes.h"
#include "model/Copy.h"
#include "sampling/AppDirectory.h"
#include "ui/ElidedLabel.h"
#include "ui/Theme.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

// A small button: push buttons keep a wide minimum that crowds the name out of a 340-point row.
QToolButton* smallButton(const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

BlameRow::BlameRow(const AppKey& key, AppDirectory& apps, QWidget* parent)
    : QWidget(parent), key_(key), entry_{key, 0} {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    stack_ = new QStackedWidget(this);
    outer->addWidget(stack_);
    auto* normal = new QWidget(stack_);
    stack_->addWidget(normal);
    auto* row = new QHBoxLayout(normal);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    auto* icon = new QLabel(normal);
    icon->setPixmap(apps.icon(key).pixmap(20, 20));
    icon->setFixedSize(20, 20);
    row->addWidget(icon);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    auto* name = new ElidedLabel(normal);
    name->setFont(Theme::font(TextStyle::body, name->font()));
    name->setFullText(PlainText::name(key.displayName));
    name_ = name;
    texts->addWidget(name_);
    note_ = Theme::label(normal, TextStyle::caption2, Theme::Tone::secondary);
    note_->setWordWrap(true);
    if (const auto note = CulpritNotes::note(key)) {
        note_->setText(QString::fromStdString(*note));
    } else {
        note_->hide();
    }
    texts->addWidget(note_);
    row->addLayout(texts, 1);

    share_ = Theme::figureLabel(normal, TextStyle::body, Theme::Tone::secondary);
    row->addWidget(share_);
    if (key.kind == AppKey::Kind::app) {
        quit_ = smallButton(QStringLiteral("Quit"), normal);
        connect(quit_, &QToolButton::clicked, this, [this] {
            if (onQuit) {
                onQuit(key_);
            }
        });
        row->addWidget(quit_);
    }
    if (key.kind != AppKey::Kind::system) {
        ignore_ = smallButton(QStringLiteral("Ignore"), normal);
        connect(ignore_, &QToolButton::clicked, this, [this] {
            if (onIgnore) {
                onIgnore(key_);
            }
        });
        row->addWidget(ignore_);
    }

    if (key.kind == AppKey::Kind::app) {
        auto* confirming = new QFrame(stack_);
        confirming->setObjectName(QStringLiteral("confirm"));
        confirming->setStyleSheet(QStringLiteral("#confirm { background: rgba(128, 128, 128, 20); border-radius: 8px; }"));
        auto* form = new QVBoxLayout(confirming);
        form->setContentsMargins(10, 10, 10, 10);
        form->setSpacing(10);
        auto* question = new QLabel(
            PlainText::name(key.displayName) + QStringLiteral(" is the hot one. Quit it?"), confirming);
        question->setTextFormat(Qt::PlainText);
        question->setFont(Theme::font(TextStyle::callout, question->font()));
        question->setWordWrap(true);
        form->addWidget(question);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(12);
        buttons->addStretch(1);
        cancel_ = new QPushButton(QStringLiteral("Cancel"), confirming);
        // Return cancels: quitting takes a deliberate click.
        cancel_->setDefault(true);
        cancel_->setAutoDefault(true);
        connect(cancel_, &QPushButton::clicked, this, [this] {
            if (onCancel) {
                onCancel();
            }
        });
        buttons->addWidget(cancel_);
        confirm_ =
            new QPushButton(QStringLiteral("Quit ") + PlainText::buttonTitle(key.displayName), confirming);
        QPalette red = confirm_->palette();
        red.setColor(QPalette::ButtonText, Theme::colour(Theme::Colour::red, red));
        confirm_->setPalette(red);
        connect(confirm_, &QPushButton::clicked, this, [this] {
            if (onConfirm) {
                onConfirm();
            }
        });
        buttons->addWidget(confirm_);
        form->addLayout(buttons);
        confirming->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        stack_->addWidget(confirming);
    }
}

void BlameRow::refresh(const AppShare& entry, bool isCulprit, bool confirming, bool leaving) {
    entry_ = entry;
    stack_->widget(0)->setEnabled(!leaving);
    const int form = confirming && !leaving && stack_->count() > 1 ? 1 : 0;
    if (stack_->currentIndex() != form) {
        // A stack is as tall as its tallest page; only the page on show may count.
        for (int i = 0; i < stack_->count(); ++i) {
            const auto policy = i == form ? QSizePolicy::Preferred : QSizePolicy::Ignored;
            stack_->widget(i)->setSizePolicy(policy, policy);
        }
        stack_->setCurrentIndex(form);
        if (form == 1) {
            cancel_->setFocus();
        }
    }
    const QString share = QString::fromStdString(Copy::percent(entry.share));
    Theme::setFigureText(*share_, share);
    if (name_->font().bold() != isCulprit) {
        name_->setFont(Theme::font(isCulprit ? TextStyle::headline : TextStyle::body, name_->font()));
    }
}

SystemPartsView::SystemPartsView(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(28, 0, 0, 0);
    layout_->setSpacing(4);
}

void SystemPartsView::refresh(const std::vector<SystemPart>& parts, ThermalLevel thermal) {
    while (rows_.size() < parts.size()) {
        Row row{new QWidget(this), {}, nullptr, nullptr, nullptr};
        auto* stack = new QVBoxLayout(row.widget);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(1);
        auto* line = new QHBoxLayout;
        row.name = Theme::label(row.widget, TextStyle::caption2, Theme::Tone::secondary);
        row.share = Theme::figureLabel(row.widget, TextStyle::caption2, Theme::Tone::secondary);
        line->addWidget(row.name, 1);
        line->addWidget(row.share);
        stack->addLayout(line);
        row.note = Theme::label(row.widget, TextStyle::caption2, Theme::Tone::secondary);
        row.note->setWordWrap(true);
        stack->addWidget(row.note);
        layout_->addWidget(row.widget);
        rows_.push_back(row);
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        if (i >= parts.size()) {
            row.widget->hide();
            continue;
        }
        row.partName = parts[i].name;
        Theme::setTextIfChanged(*row.name, PlainText::name(parts[i].name));
        Theme::setFigureText(*row.share, QString::fromStdString(Copy::percent(parts[i].share)));
        const auto note = Copy::systemPartNote(parts[i], thermal);
        Theme::setTextIfChanged(*row.note, note ? QString::fromStdString(*note) : QString());
        row.note->setVisible(note.has_value());
        row.widget->show();
    }
}

void SystemPartsView::updateShares(const std::vector<SystemPart>& parts) {
    for (Row& row : rows_) {
        const auto part = std::find_if(parts.begin(), parts.end(),
                                       [&row](const SystemPart& p) { return p.name == row.partName; });
        if (!row.widget->isHidden() && part != parts.end()) {
            Theme::setFigureText(*row.share, QString::fromStdString(Copy::percent(part->share)));
        }
    }
}

IgnoredAppsView::IgnoredAppsView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    toggle_ = new QToolButton(this);
    toggle_->setAutoRaise(true);
    toggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toggle_->setArrowType(Qt::RightArrow);
    connect(toggle_, &QToolButton::clicked, this, [this] { setExpanded(!expanded_); });
    layout->addWidget(toggle_);
    body_ = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(16, 0, 0, 0);
    rows_ = new QVBoxLayout;
    bodyLayout->addLayout(rows_);
    showAll_ = new QPushButton(QStringLiteral("Show all again"), body_);
    connect(showAll_, &QPushButton::clicked, this, [this] {
        if (onShowAllAgain) {
            onShowAllAgain();
        }
    });
    bodyLayout->addWidget(showAll_, 0, Qt::AlignLeft);
    layout->addWidget(body_);
    body_->hide();
}

QString IgnoredAppsView::header() const {
    return QString::fromStdString(Copy::ignoringHeader(static_cast<std::int64_t>(apps_.size())));
}

void IgnoredAppsView::setExpanded(bool expanded) {
    expanded_ = expanded;
    toggle_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    body_->setVisible(expanded);
}

void IgnoredAppsView::refresh(const std::vector<IgnoredApp>& apps) {
    if (apps == apps_) {
        return;
    }
    apps_ = apps;
    toggle_->setText(header());
    while (QLayoutItem* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const IgnoredApp& app : apps_) {
        auto* row = new QWidget(body_);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        auto* name = new ElidedLabel(row);
        name->setFullText(PlainText::name(app.name));
        line->addWidget(name, 1);
        auto* again = smallButton(QStringLiteral("Show again"), row);
        connect(again, &QToolButton::clicked, this, [this, id = app.id] {
            if (onShowAgain) {
                onShowAgain(id);
            }
        });
        line->addWidget(again);
        rows_->addWidget(row);
    }
    showAll_->setVisible(apps_.size() >= 2);
}

} // namespace halvrick
