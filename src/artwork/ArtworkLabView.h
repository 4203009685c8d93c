#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class QAbstractButton;
class QPushButton;
class QVBoxLayout;

namespace halvrick {

class ElidedLabel;
class SegmentedControl;

// The artwork lab's content: the Editor / Grid switch, the last export's outcome and "Export PNGs" over
// the face editor or the preview grid.
class ArtworkLabView : public QWidget {
    Q_OBJECT

public:
    // Writes the full set into a folder and returns the files written; throws on the first failure.
    using Exporter = std::function<QStringList(const QString& folder)>;
    // Where an export goes, asked at each export.
    using FolderChooser = std::function<QString()>;
    // Shows the exported folder in the file manager; false when nothing opened it.
    using Reveal = std::function<bool(const QString& folder)>;

    static constexpr int editorTab = 0;
    static constexpr int gridTab = 1;

    ArtworkLabView(Exporter exporter, FolderChooser folder, Reveal reveal, QWidget* parent = nullptr);

    int tab() const { return tab_; }
    void setTab(int tab);
    // None before the first export.
    const std::optional<QString>& exportMessage() const { return message_; }
    // The editor or the grid's scroll area.
    QWidget* content() const { return content_; }
    QPushButton* exportButton() const { return exportButton_; }
    QAbstractButton* tabButton(int tab) const;
    ElidedLabel* messageLabel() const { return messageLabel_; }

    // Runs the full export synchronously into the folder of the moment.
    void exportPNGs();

private:
    void showContent();

    Exporter exporter_;
    FolderChooser folder_;
    Reveal reveal_;
    int tab_ = editorTab;
    std::optional<QString> message_;
    SegmentedControl* tabs_;
    ElidedLabel* messageLabel_;
    QPushButton* exportButton_;
    QVBoxLayout* contentLayout_;
    QWidget* content_ = nullptr;
};

} // namespace halvrick
