#pragma once

#include <QPushButton>
#include <QString>
#include <functional>
#include <optional>

class QMenu;
class QMimeData;
class QUrl;

namespace halvrick {

// A push button that renders its card on every click and then offers the file in a menu under the
// button: "Copy Image" puts it on the clipboard, as a picture and as a file, "Open" hands it to the
// desktop's image viewer and "Show in Folder" opens the folder it waits in. Linux has no sharing
// picker; these are what one would offer. Where the desktop opens nothing, a short line at the pointer
// says so. When the card could not be made nothing happens: the caller has said why. The file is never
// removed.
class ShareButton : public QPushButton {
    Q_OBJECT

public:
    using MakeFile = std::function<std::optional<QString>()>;
    // Hands a file or folder to the desktop; false when nothing took it.
    using OpenUrl = std::function<bool(const QUrl& url)>;

    static constexpr const char* copyTitle = "Copy Image";
    static constexpr const char* openTitle = "Open";
    static constexpr const char* showTitle = "Show in Folder";
    static constexpr const char* noViewerText = "No image viewer on this desktop opened the card.";
    static constexpr const char* noFileManagerText = "No file manager on this desktop opened the folder.";

    explicit ShareButton(const QString& title, MakeFile makeFile = {}, QWidget* parent = nullptr);

    // Replaces what a click renders; the next click uses it.
    void setMakeFile(MakeFile makeFile);
    // How "Open" and "Show in Folder" reach the desktop; its default programs unless replaced.
    void setOpenUrl(OpenUrl openUrl);

    // The menu of the last click that made a file; none before.
    QMenu* menu() const { return menu_; }

    // What "Copy Image" puts on the clipboard: the picture, its PNG bytes and the file's address.
    static QMimeData* clipboardData(const QString& path);

private:
    void share();
    void open(const QUrl& url, const char* failure);

    MakeFile makeFile_;
    OpenUrl openUrl_;
    QMenu* menu_ = nullptr;
};

} // namespace halvrick
