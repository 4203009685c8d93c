#include "menubar/PopoverFooter.h"

#include "menubar/LiveMenu.h"
#include "model/AppModel.h"
#include "model/Copy.h"
#include "model/Updater.h"
#include "ui/CoalescedRefresh.h"
#include "ui/Glyphs.h"
#include "ui/Theme.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace halvrick {

namespace {

using Command = MenuRow::Command;

QToolButton* symbolButton(QWidget* parent, const QString& label) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFixedSize(PopoverFooter::buttonSize, PopoverFooter::buttonSize);
    button->setIconSize(QSize(PopoverFooter::symbolSize, PopoverFooter::symbolSize));
    button->setToolTip(label);
    button->setAccessibleName(label);
    return button;
}

} // namespace

std::vector<MenuRow> moreMenuRows(const MenuSnapshot& snapshot, bool includeDebug, bool offersUpdates) {
    std::vector<MenuRow> rows{
        MenuRow::item(Command::roast, "Roast card…"),
        MenuRow::item(Command::history, "History & Trends…"),
        MenuRow::item(Command::vitals, "Vitals…"),
        MenuRow::item(Command::coolDown, "Cool down (1 min)", snapshot.canStartCoolDown()),
        MenuRow::item(Command::wrapped, "Zurez Erazuri"),
        MenuRow::separator(),
    };
    if (offersUpdates) {
        rows.push_back(MenuRow::item(Command::checkForUpdates, "Check for Updates…"));
    }
    rows.push_back(MenuRow::item(Command::settings, "Settings…"));
    if (includeDebug) {
        MenuRow debug = MenuRow::item(Command::debugMenu, "Debug");
        debug.submenu = DebugMenuItems::rows(snapshot, DebugMenuItems::Host::popover);
        debug.submenu.push_back(MenuRow::separator());
        debug.submenu.push_back(MenuRow::item(Command::sampleWrapped, "Wrapped with sample data"));
        debug.submenu.push_back(MenuRow::item(Command::artworkLab, "Artwork Lab"));
        rows.push_back(std::move(debug));
    }
    rows.push_back(MenuRow::separator());
    rows.push_back(MenuRow::item(Command::quit, "Quit Halvrick"));
    return rows;
}

PopoverFooter::PopoverFooter(AppModel& model, PopoverActions actions, bool showsDebug, QWidget* parent)
    : QWidget(parent), model_(model), actions_(std::move(actions)), showsDebug_(showsDebug),
      debugItems_(model, DebugMenuItems::Host::popover, nullptr),
      refresher_(new CoalescedRefresh(*this, [this] { refresh(); })) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 8, 16, 8);
    row->setSpacing(8);

    ownShare_ = Theme::figureLabel(this, TextStyle::caption, Theme::Tone::secondary);
    row->addWidget(ownShare_, 0, Qt::AlignVCenter);
    row->addStretch(1);

    settings_ = symbolButton(this, QStringLiteral("Settings…"));
    connect(settings_, &QToolButton::clicked, this, [this] { PopoverActions::call(actions_.openSettings); });
    row->addWidget(settings_, 0, Qt::AlignVCenter);

    moreMenu_ = new LiveMenu(QString(), this);
    moreMenu_->onTrigger = [this](const MenuRow& chosen) { perform(chosen); };
    moreMenu_->offers = [this](const MenuRow& row) { return actions_.offers(row); };
    more_ = symbolButton(this, QStringLiteral("More"));
    more_->setPopupMode(QToolButton::InstantPopup);
    more_->setMenu(moreMenu_);
    more_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    row->addWidget(more_, 0, Qt::AlignVCenter);
    paintSymbols();

    for (const auto signal :
         {&AppModel::ownShareChanged, &AppModel::restPhaseChanged, &AppModel::coolDownChanged,
          &AppModel::forcedStateChanged, &AppModel::activeChallengeChanged,
          &AppModel::simulatingSamplerFailureChanged, &AppModel::debugUnlockedChanged}) {
        connect(&model_, signal, this, [this] { refresher_->request(); });
    }
    connect(&model_.blame(), &BlameModel::ignoredNamesChanged, this, [this] { refresher_->request(); });
    refresh();
}

void PopoverFooter::refresh() {
    Theme::setFigureText(*ownShare_, QString::fromStdString("Me: " + Copy::percent(model_.ownShare()) +
                                                            ". I'm not the problem."));
    moreMenu_->setRows(
        moreMenuRows(MenuSnapshot::of(model_), showsDebug_ || model_.debugUnlocked(), Updater::shared().hasSource()));
}

void PopoverFooter::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        paintSymbols();
    }
    QWidget::changeEvent(event);
}

void PopoverFooter::paintSymbols() {
    const QColor colour = Theme::text(Theme::Tone::secondary, palette());
    settings_->setIcon(Glyphs::icon(Glyph::gear, colour, symbolSize));
    more_->setIcon(Glyphs::icon(Glyph::ellipsisCircle, colour, symbolSize));
}

void PopoverFooter::perform(const MenuRow& row) {
    if (!debugItems_.perform(row)) {
        if (row.command == Command::coolDown) {
            model_.startCoolDown();
        } else if (row.command == Command::checkForUpdates) {
            Updater::shared().checkForUpdates();
        } else if (row.command == Command::quit) {
            QCoreApplication::quit();
        } else if (const auto* window = actions_.window(row.command)) {
            PopoverActions::call(*window);
        }
    }
    // The rest-interval override has no signal of its own.
    refresh();
}

} // namespace halvrick
