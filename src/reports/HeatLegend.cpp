#include "reports/HeatLegend.h"

#include "core/HeatLevel.h"
#include "model/Copy.h"
#include "reports/SweatCalendarView.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

namespace halvrick {

namespace {

class Swatch : public QWidget {
public:
    Swatch(int level, QWidget* parent) : QWidget(parent), level_(level) {
        setFixedSize(10, 10);
        const QString name = QString::fromStdString(Copy::historyCalendarLegendLevel(level));
        setAccessibleName(name);
        setToolTip(name);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 2, 2);
        painter.fillPath(path, SweatCalendarPainting::heatColour(level_, palette()));
    }

private:
    int level_;
};

} // namespace

HeatLegend::HeatLegend(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    QLabel* none = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
    none->setText(QStringLiteral("None"));
    row->addWidget(none);
    for (int level = 0; level < HeatLevel::count; ++level) {
        row->addWidget(new Swatch(level, this));
    }
    QLabel* most = Theme::label(this, TextStyle::caption, Theme::Tone::secondary);
    most->setText(QStringLiteral("2h+"));
    row->addWidget(most);
    row->addStretch();
}

} // namespace halvrick
