#include "reports/HistoryWindowController.h"

#include "model/AppModel.h"
#include "reports/ChallengeSection.h"
#include "reports/HistoryView.h"
#include "sampling/AppDirectory.h"
#include "sampling/SystemTimeSource.h"
#include "ui/CardFiles.h"
#include "ui/CoalescedRefresh.h"
#include "ui/SavePathChooser.h"
#include "ui/WindowShell.h"

#include <QVBoxLayout>
#include <cmath>

namespace halvrick {

HistoryWindowController::HistoryWindowController(AppModel& model)
    : HistoryWindowController(
          model, [] { return SystemTimeSource().now(); }, &SystemTimeSource::currentCalendar,
          std::make_shared<FileDialogChooser>()) {}

HistoryWindowController::HistoryWindowController(AppModel& model, std::function<Date()> now,
                                                 std::function<Calendar()> calendar,
                                                 std::shared_ptr<SavePathChooser> chooser)
    : model_(model), now_(std::move(now)), calendar_(std::move(calendar)), chooser_(std::move(chooser)) {}

HistoryWindowController::~HistoryWindowController() = default;

HistoryView* HistoryWindowController::view() const {
    return view_.data();
}

void HistoryWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        // Every show makes its own view, so a closed window keeps none.
        window_ = WindowShell::make(QStringLiteral("History & Trends"), QSize(minimumWidth, minimumHeight),
                                    [this] { delete view_; });
        window_->resize(initialSide, initialSide);
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
    }
    delete view_;
    AppModel& model = model_;
    HistoryView::Source source{
        {
            [&model]() -> const StatsLedger& { return model.stats().ledger(); },
            now_,
            calendar_,
            [&model](const AppKey& key, int pixels) { return model.appDirectory().image(key, pixels); },
            [&model] { return model.settings().personality(); },
            chooser_,
            &CardFiles::path,
        },
        [&model] { return model.increaseContrast(); },
        [&model, now = now_, calendar = calendar_](QWidget* parent) {
            return new ChallengeSection(model, now, calendar, parent);
        },
    };
    view_ = new HistoryView(std::move(source), window_.get());
    window_->layout()->addWidget(view_);

    // The ledger books every second; what the window shows moves by the minute, so it reads again once
    // a minute while it is open, and at once when sample data went in.
    auto* refresher = new CoalescedRefresh(*view_, [view = view_.data()] { view->refresh(); });
    auto lastMinute = std::make_shared<double>(std::floor(now_().timeIntervalSince1970() / 60));
    QObject::connect(&model_, &AppModel::cpuLoadChanged, view_, [refresher, lastMinute, now = now_] {
        const double minute = std::floor(now().timeIntervalSince1970() / 60);
        if (minute != *lastMinute) {
            *lastMinute = minute;
            refresher->request();
        }
    });
    QObject::connect(&model_, &AppModel::statsSeeded, view_, [refresher] { refresher->request(); });
    // The grade's colours follow the desktop's contrast.
    QObject::connect(&model_, &AppModel::displayOptionsChanged, view_, [refresher] { refresher->request(); });

    const Date now = now_();
    model_.evaluateChallenges(now, true);
    model_.restoreEvening(now);
    WindowShell::present(*window_, firstShow);
}

} // namespace halvrick
