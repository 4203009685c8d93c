#include "settings/GeneralPane.h"

#include "core/Personality.h"
#include "model/MenuBarDisplay.h"
#include "model/SettingsStore.h"
#include "settings/SettingsBindings.h"
#include "settings/SettingsForm.h"
#include "ui/SegmentedControl.h"
#include "ui/Theme.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <string_view>

namespace halvrick {

namespace {

QString text(std::string_view value) {
    return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
}

QStringList trayStyleLabels() {
    QStringList labels;
    for (const MenuBarDisplay display : allMenuBarDisplays) {
        labels << text(label(display));
    }
    return labels;
}

QStringList personalityTitles() {
    QStringList titles;
    for (const Personality personality : allPersonalities) {
        titles << text(title(personality));
    }
    return titles;
}

template <typename T, std::size_t N> int indexOf(const std::array<T, N>& all, T value) {
    for (std::size_t index = 0; index < N; ++index) {
        if (all[index] == value) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

// A picker with its title before it.
void addPicker(QVBoxLayout& section, const QString& title, SegmentedControl* picker) {
    QBoxLayout* row = SettingsForm::addRow(section);
    row->addWidget(new QLabel(title));
    row->addWidget(picker, 1);
}

} // namespace

GeneralPane::GeneralPane(SettingsBindings& bindings, std::function<void()> openHistory,
                         std::function<void()> askReset, QWidget* parent)
    : QWidget(parent), bindings_(bindings) {
    SettingsStore& settings = bindings.settings();
    QVBoxLayout* pane = SettingsForm::makePane(*this);

    QVBoxLayout* start = SettingsForm::addSection(*pane, QString());
    login_ = new QCheckBox(QStringLiteral("Open at login"));
    start->addWidget(login_);
    loginError_ = SettingsForm::caption(QString());
    start->addWidget(loginError_);
    monochrome_ = new QCheckBox(QStringLiteral("Monochrome tray icon"));
    start->addWidget(monochrome_);
    trayStyle_ = new SegmentedControl(trayStyleLabels());
    addPicker(*start, QStringLiteral("Tray style"), trayStyle_);
    start->addWidget(SettingsForm::caption(QStringLiteral("Show the pea, the CPU number, or both.")));
    personality_ = new SegmentedControl(personalityTitles());
    addPicker(*start, QStringLiteral("Personality"), personality_);
    blurb_ = SettingsForm::caption(QString());
    start->addWidget(blurb_);
    sound_ = new QCheckBox(QStringLiteral("Play a little \"phew\" when I cool down"));
    start->addWidget(sound_);
    notifications_ = new QCheckBox(QStringLiteral("Also send notifications for breaks and reminders"));
    start->addWidget(notifications_);
    // Linux has no settings page that turns an app's notifications back on: the line says what does.
    denied_ = SettingsForm::caption(QString::fromUtf8(deniedText));
    start->addWidget(denied_);
    developmentNote_ = SettingsForm::caption(QString::fromUtf8(SettingsBindings::developmentBuildNote));
    start->addWidget(developmentNote_);

    // Linux has no update framework, so no switch for it: the caption says where updates come from.
    QVBoxLayout* updates = SettingsForm::addSection(*pane, QStringLiteral("Updates"));
    updates->addWidget(SettingsForm::caption(QStringLiteral("Updates come from your package manager.")));

    QVBoxLayout* stats = SettingsForm::addSection(*pane, QStringLiteral("Stats"));
    history_ = new QPushButton(QStringLiteral("History && Trends…"));
    reset_ = new QPushButton(QStringLiteral("Reset all stats…"));
    // Destructive: its title in red.
    QPalette destructive = reset_->palette();
    destructive.setColor(QPalette::ButtonText, Theme::colour(Theme::Colour::red, destructive));
    reset_->setPalette(destructive);
    for (QPushButton* button : {history_, reset_}) {
        QBoxLayout* row = SettingsForm::addRow(*stats);
        row->addWidget(button);
        row->addStretch(1);
    }
    QBoxLayout* privacy = SettingsForm::addRow(*stats, 4);
    const QIcon lock = QIcon::fromTheme(QStringLiteral("security-high"));
    if (!lock.isNull()) {
        auto* icon = new QLabel;
        const int size = Theme::pixelSize(TextStyle::caption) + 2;
        icon->setPixmap(lock.pixmap(size, size));
        privacy->addWidget(icon);
    }
    privacy->addWidget(
        SettingsForm::caption(QStringLiteral("No analytics. Your CPU data never leaves this computer.")), 1);
    pane->addStretch(1);

    connect(login_, &QCheckBox::clicked, this, [this](bool on) { bindings_.writeOpenAtLogin(on); });
    connect(monochrome_, &QCheckBox::clicked, this,
            [&settings](bool on) { settings.setMenuBarMonochrome(on); });
    connect(trayStyle_, &SegmentedControl::currentChanged, this, [&settings](int index) {
        settings.setMenuBarDisplay(allMenuBarDisplays.at(static_cast<std::size_t>(index)));
    });
    connect(personality_, &SegmentedControl::currentChanged, this, [&settings](int index) {
        settings.setPersonality(allPersonalities.at(static_cast<std::size_t>(index)));
    });
    connect(sound_, &QCheckBox::clicked, this, [&settings](bool on) { settings.setSoundsEnabled(on); });
    connect(notifications_, &QCheckBox::clicked, this, [this](bool on) { bindings_.writeNotifications(on); });
    connect(history_, &QPushButton::clicked, this, [openHistory = std::move(openHistory)] {
        if (openHistory) {
            openHistory();
        }
    });
    connect(reset_, &QPushButton::clicked, this, [askReset = std::move(askReset)] { askReset(); });

    connect(&bindings, &SettingsBindings::changed, this, &GeneralPane::sync);
    connect(&settings, &SettingsStore::menuBarMonochromeChanged, this, &GeneralPane::sync);
    connect(&settings, &SettingsStore::menuBarDisplayChanged, this, &GeneralPane::sync);
    connect(&settings, &SettingsStore::personalityChanged, this, &GeneralPane::sync);
    connect(&settings, &SettingsStore::soundsEnabledChanged, this, &GeneralPane::sync);
    connect(&settings, &SettingsStore::notificationsEnabledChanged, this, &GeneralPane::sync);
    sync();
}

void GeneralPane::sync() {
    const SettingsStore& settings = bindings_.settings();
    const bool identity = bindings_.hasIdentity();

    SettingsForm::setChecked(*login_, bindings_.openAtLogin());
    login_->setEnabled(identity);
    loginError_->setText(bindings_.loginError().value_or(QString()));
    loginError_->setVisible(bindings_.loginError().has_value());
    SettingsForm::setChecked(*monochrome_, settings.menuBarMonochrome());
    trayStyle_->setCurrentIndex(indexOf(allMenuBarDisplays, settings.menuBarDisplay()));
    personality_->setCurrentIndex(indexOf(allPersonalities, settings.personality()));
    Theme::setTextIfChanged(*blurb_, text(blurb(settings.personality())));
    SettingsForm::setChecked(*sound_, settings.soundsEnabled());
    SettingsForm::setChecked(*notifications_, settings.notificationsEnabled());
    notifications_->setEnabled(identity);
    denied_->setVisible(bindings_.notificationsDenied());
    developmentNote_->setVisible(!identity);
}

} // namespace halvrick
