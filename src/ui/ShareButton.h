#pragma once

#include <QPushButton>
#include <QString>
#include <functional>
#include <optional>

class QMenu;
class QMimeData;

namespace halvrick {

// A push button that renders its card on every click and then offers the file in a menu under the
// button: "Copy Image" puts it on the clipboard, as a picture and as a file, and "Open in Image Viewer"
// hands it to the desktop. Linux has no sharing picker; these are what one would offer. When the card
// could not be made nothing happens: the caller has said why. The file is never removed.
class ShareButton : public QPushButton {
    Q_OBJECT

public:
    using MakeFile = std::function<std::optional<QString>()>;
    using OpenFile = std::function<void(const QString& path)>;

    static constexpr const char* copyTitle = "Copy Image";
    static constexpr const char* openTitle = "Open in Image Viewer";

    explicit ShareButton(const QString& title, MakeFile makeFile = {}, QWidget* parent = nullptr);

    // Replaces what a click renders; the next click uses it.
    void setMakeFile(MakeFile makeFile);
    // How "Open in Image Viewer" opens the file; the desktop's default viewer unless replaced.
    void setOpenFile(OpenFile openFile);

    // The menu of the last click that made a file; none before.
    QMenu* menu() const { return menu_; }

    // What "Copy Image" puts on the clipboard: the picture, its PNG bytes and the file's address.
    static QMimeData* clipboardData(const QString& path);

private:
    void share();

    MakeFile makeFile_;
    OpenFile openFile_;
    QMenu* menu_ = nullptr;
};

} // namespace halvrick
