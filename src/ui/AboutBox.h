#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace halvrick {

// The application's about box: its icon, name, what it is, version and licence, in a window wide
// enough for its whole title. One at a time; it never blocks the tray. Main thread only.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* description = "A pea in the tray that sweats when the computer works hard.";
    static constexpr const char* licence = "MIT licence";

    // An empty version shows none.
    explicit AboutBox(const QString& version, QWidget* parent = nullptr);

    // Opens the box, or brings the open one to the front.
    static AboutBox& present(const QString& version);

    QLabel& iconLabel() const { return *icon_; }

private:
    QLabel* icon_ = nullptr;
};

} // namespace halvrick
