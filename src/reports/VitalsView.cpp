#include "reports/VitalsView.h"

#include "model/AppModel.h"
#include "model/Copy.h"
#include "reports/VitalsFolderSection.h"
#include "reports/VitalsMemoryByApp.h"
#include "reports/VitalsMemoryCard.h"
#include "reports/VitalsPanel.h"
#include "reports/VitalsStorageCard.h"
#include "reports/VitalsWhatChanged.h"
#include "sampling/SystemTimeSource.h"
#include "ui/CoalescedRefresh.h"
#include "ui/Theme.h"

#include <QCursor>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolTip>
#include <QVBoxLayout>

namespace halvrick {

VitalsView::Environment VitalsView::Environment::system() {
    return {[] { return SystemTimeSource().now(); }, &SystemTimeSource::currentCalendar,
            FolderSizer::folders(), &QDesktopServices::openUrl};
}

VitalsView::VitalsView(AppModel& model, Environment environment, QWidget* parent)
    : QScrollArea(parent), model_(model), environment_(std::move(environment)),
      refresher_(new CoalescedRefresh(*this, [this] { refresh(); })) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(this);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(22, 22, 22, 22);
    stack->setSpacing(18);

    auto* header = new QVBoxLayout;
    header->setSpacing(3);
    QLabel* title = Theme::label(content, TextStyle::title2);
    title->setText(QStringLiteral("Vitals"));
    header->addWidget(title);
    QLabel* subtitle = Theme::label(content, TextStyle::caption, Theme::Tone::secondary);
    subtitle->setText(QStringLiteral("This computer, right now."));
    header->addWidget(subtitle);
    stack->addLayout(header);

    reading_ = Theme::label(content, TextStyle::body, Theme::Tone::secondary);
    reading_->setText(QStringLiteral("Reading the machine…"));
    stack->addWidget(reading_);

    cards_ = new QWidget(content);
    auto* cardRow = new QHBoxLayout(cards_);
    cardRow->setContentsMargins(0, 0, 0, 0);
    cardRow->setSpacing(14);
    memory_ = new VitalsMemoryCard(cards_);
    cardRow->addWidget(memory_, 1, Qt::AlignTop);
    storage_ = new VitalsStorageCard(cards_);
    cardRow->addWidget(storage_, 1, Qt::AlignTop);
    stack->addWidget(cards_);

    whatChanged_ = new VitalsWhatChanged(environment_.folders, content);
    whatChanged_->folders().onMeasureNow = [this] { model_.measureFoldersIfNeeded(environment_.now(), true, false); };
    whatChanged_->folders().onReveal = [this](const std::string& path) {
        if (environment_.openUrl &&
            !environment_.openUrl(QUrl::fromLocalFile(QString::fromStdString(path)))) {
            // Said at the pointer, beside the button just clicked.
            QToolTip::showText(QCursor::pos(),
                               QString::fromUtf8(Copy::noFileManager.data(),
                                                 static_cast<qsizetype>(Copy::noFileManager.size())),
                               this);
        }
    };
    stack->addWidget(whatChanged_);
    memoryByApp_ = new VitalsMemoryByApp(content);
    stack->addWidget(memoryByApp_);
    footer_ = Theme::label(content, TextStyle::caption2, Theme::Tone::tertiary);
    footer_->setText(QStringLiteral("Read locally every few seconds. Nothing leaves this computer."));
    stack->addWidget(footer_);
    stack->addStretch(1);
    setWidget(content);

    for (const auto signal : {&AppModel::machineChanged, &AppModel::folderGrowthChanged,
                              &AppModel::folderComparisonsChanged, &AppModel::folderTrendsChanged,
                              &AppModel::isMeasuringFoldersChanged, &AppModel::folderAccessDeniedChanged,
                              &AppModel::folderDeniedChanged, &AppModel::folderPartlyMeasuredChanged}) {
        connect(&model_, signal, this, [this] { refresher_->request(); });
    }
    connect(&model_.blame(), &BlameModel::memoryAppsChanged, this, [this] { refresher_->request(); });
    minuteTimer_.setInterval(minuteMs);
    connect(&minuteTimer_, &QTimer::timeout, this, [this] { refresher_->request(); });
    refresh();
}

VitalsView::~VitalsView() = default;

void VitalsView::showEvent(QShowEvent* event) {
    QScrollArea::showEvent(event);
    minuteTimer_.start();
}

void VitalsView::hideEvent(QHideEvent* event) {
    QScrollArea::hideEvent(event);
    minuteTimer_.stop();
}

void VitalsView::refresh() {
    const std::optional<MachineVitals>& machine = model_.machine();
    reading_->setVisible(!machine);
    for (QWidget* part : {cards_, static_cast<QWidget*>(whatChanged_), static_cast<QWidget*>(memoryByApp_),
                          static_cast<QWidget*>(footer_)}) {
        part->setVisible(machine.has_value());
    }
    if (!machine) {
        return;
    }
    const Date now = environment_.now();
    const Calendar calendar = environment_.calendar();
    const VitalsLedger& ledger = model_.vitals().ledger();
    const std::optional<VitalsDay> today = ledger.day(now, calendar);

    memory_->setVitals(*machine, today ? std::optional(today->peakMemoryUsed) : std::nullopt);
    storage_->setVitals(*machine);
    whatChanged_->setComparisons(model_.vitalsComparisons(now));

    VitalsFolderSection::Figures folders;
    folders.measuring = model_.isMeasuringFolders();
    folders.accessDenied = model_.folderAccessDenied();
    folders.denied = model_.folderDenied();
    folders.partlyMeasured = model_.folderPartlyMeasured();
    folders.comparisons = model_.folderComparisons();
    folders.trends = model_.folderTrends();
    folders.sizesToday = today ? today->folderBytes : std::map<std::string, std::uint64_t>();
    folders.measuredAt = today ? today->folderMeasuredAt : std::nullopt;
    folders.hasEarlierSizes = ledger.hasEarlierFolderSizes(now, calendar);
    folders.storageMovedElsewhere = model_.storageMovedElsewhere();
    folders.now = now;
    folders.calendar = calendar;
    whatChanged_->folders().setFigures(folders);

    whatChanged_->setEvents(ledger.recentEvents(), now, calendar);
    memoryByApp_->setApps(model_.blame().memoryApps(), model_.yesterdayMemoryPeaks());
}

} // namespace halvrick
