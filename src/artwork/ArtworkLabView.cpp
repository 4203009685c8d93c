#include "artwork/ArtworkLabView.h"

#include "artwork/ArtworkExporter.h"
#include "artwork/ArtworkGridView.h"
#include "artwork/FaceEditorView.h"
#include "model/Copy.h"
#include "ui/ElidedLabel.h"
#include "ui/SegmentedControl.h"
#include "ui/Theme.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <exception>

namespace halvrick {

namespace {

constexpr int tabSwitchWidth = 200;

} // namespace

ArtworkLabView::ArtworkLabView(Exporter exporter, FolderChooser folder, Reveal reveal, QWidget* parent)
    : QWidget(parent), exporter_(std::move(exporter)), folder_(std::move(folder)),
      reveal_(std::move(reveal)) {
    setMinimumSize(900, 600);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(10, 10, 10, 10);
    // Options in the order of the tab numbers.
    tabs_ = new SegmentedControl({QStringLiteral("Editor"), QStringLiteral("Grid")}, this);
    tabs_->setFixedWidth(tabSwitchWidth);
    header->addWidget(tabs_);
    header->addStretch(1);
    // The folder's path is the user's: shown as plain text, one line, cut at the end.
    messageLabel_ = new ElidedLabel(this, Qt::ElideRight);
    messageLabel_->setTextFormat(Qt::PlainText);
    messageLabel_->setFont(Theme::font(TextStyle::caption, messageLabel_->font()));
    Theme::setTextColour(*messageLabel_, Theme::text(Theme::Tone::secondary, palette()));
    messageLabel_->setHidden(true);
    header->addWidget(messageLabel_, 0);
    exportButton_ = new QPushButton(QStringLiteral("Export PNGs"), this);
    exportButton_->setAutoDefault(false);
    header->addWidget(exportButton_);
    layout->addLayout(header);

    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    contentLayout_ = new QVBoxLayout;
    contentLayout_->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(contentLayout_, 1);
    showContent();

    connect(tabs_, &SegmentedControl::currentChanged, this, &ArtworkLabView::setTab);
    connect(exportButton_, &QPushButton::clicked, this, &ArtworkLabView::exportPNGs);
}

QAbstractButton* ArtworkLabView::tabButton(int tab) const {
    return tabs_->button(tab);
}

void ArtworkLabView::setTab(int tab) {
    if (tab == tab_) {
        return;
    }
    tab_ = tab;
    tabs_->setCurrentIndex(tab);
    showContent();
}

// The editor starts afresh each time it is shown; the grid has no state to keep.
void ArtworkLabView::showContent() {
    if (content_) {
        contentLayout_->removeWidget(content_);
        content_->hide();
        content_->deleteLater();
    }
    if (tab_ == editorTab) {
        content_ = new FaceEditorView(this);
    } else {
        auto* scroll = new QScrollArea(this);
        scroll->setWidget(new ArtworkGridView);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        content_ = scroll;
    }
    contentLayout_->addWidget(content_);
}

void ArtworkLabView::exportPNGs() {
    const QString folder = folder_();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<QStringList> written;
    QString failure;
    try {
        written = exporter_(folder);
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    QGuiApplication::restoreOverrideCursor();
    if (written) {
        message_ = QStringLiteral("Wrote %1 files to %2").arg(written->size()).arg(folder);
        if (reveal_ && !reveal_(folder)) {
            *message_ +=
                QStringLiteral(". ") + QString::fromUtf8(Copy::noFileManager.data(),
                                                         static_cast<qsizetype>(Copy::noFileManager.size()));
        }
    } else {
        message_ = QStringLiteral("Export failed: ") + failure;
    }
    messageLabel_->setFullText(ArtworkExporter::oneLine(*message_));
    messageLabel_->setHidden(false);
}

} // namespace halvrick
