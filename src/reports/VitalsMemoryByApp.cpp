#include "reports/VitalsMemoryByApp.h"

#include "core/Bytes.h"
#include "core/VitalsFigures.h"
#include "reports/VitalsBar.h"
#include "ui/ElidedLabel.h"
#include "ui/PlainText.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace halvrick {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

} // namespace

VitalsMemoryByApp::VitalsMemoryByApp(QWidget* parent) : VitalsPanel(16, 10, parent) {
    QLabel* title = Theme::label(this, TextStyle::headline);
    title->setText(QStringLiteral("Memory by app"));
    column().addWidget(title);
    empty_ = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    empty_->setText(QStringLiteral("Nothing is holding much memory right now."));
    column().addWidget(empty_);
    area_ = new QWidget(this);
    auto* stack = new QVBoxLayout(area_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    column().addWidget(area_);
}

VitalsMemoryByApp::Line& VitalsMemoryByApp::line(std::size_t index) {
    while (lines_.size() <= index) {
        auto* row = new QWidget(area_);
        auto* stack = new QVBoxLayout(row);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(4);
        auto* figures = new QHBoxLayout;
        auto* name = new ElidedLabel(row, Qt::ElideRight);
        name->setFont(Theme::font(TextStyle::callout, name->font()));
        figures->addWidget(name, 1, Qt::AlignBaseline);
        QLabel* bytes = Theme::label(row, TextStyle::callout);
        figures->addWidget(bytes, 0, Qt::AlignBaseline);
        QLabel* note = Theme::label(row, TextStyle::caption, Theme::Tone::secondary);
        figures->addWidget(note, 0, Qt::AlignBaseline);
        stack->addLayout(figures);
        auto* bar = new VitalsBar(row);
        stack->addWidget(bar);
        area_->layout()->addWidget(row);
        lines_.push_back({row, name, bytes, note, bar});
    }
    return lines_[index];
}

void VitalsMemoryByApp::setApps(const std::vector<AppMemory>& apps,
                                const std::map<std::string, std::uint64_t>& yesterday) {
    const std::size_t count = std::min(apps.size(), appLimit);
    empty_->setVisible(count == 0);
    area_->setVisible(count != 0);
    const std::uint64_t top = count == 0 ? 0 : apps.front().bytes;
    for (std::size_t i = 0; i < count; ++i) {
        const AppMemory& app = apps[i];
        Line& shown = line(i);
        const QString name = PlainText::name(app.name);
        shown.name->setFullText(name);
        Theme::setTextIfChanged(*shown.bytes, text(Bytes::memory(app.bytes)));
        const std::optional<std::string> note = VitalsFigures::appNote(app.id, app.bytes, yesterday);
        if (note) {
            Theme::setTextIfChanged(*shown.note, text(*note));
        }
        shown.note->setVisible(note.has_value());
        shown.bar->setValue(VitalsFigures::fraction(app.bytes, top));
        shown.row->show();
    }
    for (std::size_t i = count; i < lines_.size(); ++i) {
        lines_[i].row->hide();
    }
}

} // namespace halvrick
