#include "reports/VitalsWindowController.h"

#include "model/AppModel.h"
#include "ui/WindowShell.h"

#include <QVBoxLayout>

namespace halvrick {

VitalsWindowController::VitalsWindowController(AppModel& model, VitalsView::Environment environment)
    : model_(model), environment_(std::move(environment)) {}

void VitalsWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        // Every show makes its own view, so a closed window keeps none.
        window_ = WindowShell::make(QStringLiteral("Vitals"), QSize(minimumWidth, minimumHeight),
                                    [this] { delete view_; });
        // Titled, closable and resizable, with no minimise button.
        window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
    }
    // Deleted at once: the old view must not answer the model's signals in the meantime.
    delete view_;
    view_ = new VitalsView(model_, environment_, window_.get());
    window_->layout()->addWidget(view_);
    WindowShell::present(*window_, firstShow);
    const Date now = environment_.now();
    model_.refreshFolders(now);
    model_.measureFoldersIfNeeded(now, false, false);
}

} // namespace halvrick
