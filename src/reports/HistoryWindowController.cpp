#include "reports/HistoryWindowController.h"

#include "model/AppModel.h"
#include "ui/WindowShell.h"

namespace halvrick {

HistoryWindowController::HistoryWindowController(AppModel& model) : model_(model) {}

void HistoryWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(QStringLiteral("History & Trends"), QSize(minimumWidth, minimumHeight));
    }
    WindowShell::present(*window_, firstShow);
}

} // namespace halvrick
