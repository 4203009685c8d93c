#include "artwork/ArtworkLabWindowController.h"

#include "artwork/ArtworkExporter.h"
#include "ui/WindowShell.h"

#include <QDesktopServices>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

namespace halvrick {

ArtworkLabWindowController::ArtworkLabWindowController(ArtworkLabView::Exporter exporter,
                                                       ArtworkLabView::FolderChooser folder,
                                                       ArtworkLabView::Reveal reveal)
    : exporter_(exporter ? std::move(exporter) : ArtworkLabView::Exporter(ArtworkExporter::exportAll)),
      folder_(folder ? std::move(folder)
                     : ArtworkLabView::FolderChooser([] { return ArtworkExporter::defaultFolder(); })),
      reveal_(reveal ? std::move(reveal) : ArtworkLabView::Reveal([](const QString& path) {
          return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
      })) {}

ArtworkLabWindowController::~ArtworkLabWindowController() = default;

void ArtworkLabWindowController::show() {
    const bool firstShow = !window_;
    if (firstShow) {
        window_ = WindowShell::make(QString::fromUtf8(title));
        auto* layout = new QVBoxLayout(window_.get());
        layout->setContentsMargins(0, 0, 0, 0);
        // The lab keeps its own minimum and scrolls inside a window that the screen keeps smaller.
        auto* scroll = new QScrollArea(window_.get());
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        view_ = new ArtworkLabView(exporter_, folder_, reveal_);
        scroll->setWidget(view_);
        layout->addWidget(scroll);
        window_->resize(1100, 760);
    }
    WindowShell::present(*window_, firstShow);
}

} // namespace halvrick
