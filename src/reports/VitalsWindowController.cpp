#include "reports/VitalsWindowController.h"

#include "model/AppModel.h"
#include "ui/WindowShell.h"

namespace halvrick {

VitalsWindowController::VitalsWindowController(AppModel& model) : model_(model) {}

void VitalsWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(QStringLiteral("Vitals"), QSize(minimumWidth, minimumHeight));
    }
    WindowShell::present(*window_, firstShow);
}

} // namespace halvrick
