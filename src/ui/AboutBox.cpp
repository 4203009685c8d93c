#include "ui/AboutBox.h"

#include "ui/Theme.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace halvrick {

namespace {

constexpr int iconSide = 64;
// Window managers put buttons and a margin beside the title; the box leaves room for both.
constexpr int titleAllowance = 160;

} // namespace

AboutBox::AboutBox(const QString& version, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Halvrick"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    icon_ = new QLabel(this);
    icon_->setPixmap(QApplication::windowIcon().pixmap(iconSide, iconSide));
    icon_->setFixedSize(iconSide, iconSide);
    top->addWidget(icon_, 0, Qt::AlignTop);

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    QLabel* name = Theme::label(this, TextStyle::title2);
    name->setText(QStringLiteral("Halvrick"));
    text->addWidget(name);
    text->addWidget(Theme::wrappingLabel(this, QString::fromUtf8(description), TextStyle::body));
    if (!version.isEmpty()) {
        QLabel* shown = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
        shown->setText(QStringLiteral("Version ") + version);
        text->addWidget(shown);
    }
    QLabel* licensed = Theme::label(this, TextStyle::callout, Theme::Tone::secondary);
    licensed->setText(QString::fromUtf8(licence));
    text->addWidget(licensed);
    top->addLayout(text, 1);
    layout->addLayout(top);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    setMinimumWidth(std::max(360, fontMetrics().horizontalAdvance(windowTitle()) + titleAllowance));
}

AboutBox& AboutBox::present(const QString& version) {
    static QPointer<AboutBox> open;
    if (!open) {
        open = new AboutBox(version);
        open->setAttribute(Qt::WA_DeleteOnClose);
    }
    open->show();
    open->raise();
    open->activateWindow();
    return *open;
}

} // namespace halvrick
