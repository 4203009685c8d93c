#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace halvrick {

// What a save dialog proposes and accepts.
struct SaveRequest {
    // Shown in the name field; a bare name, never a folder.
    QString suggestedName;
    // For example "PNG image (*.png)".
    QString nameFilter;
    // Without the dot; the chosen name always ends with it.
    QString suffix;
};

// Asks the user where to save a file; tests answer in its place.
class SavePathChooser {
public:
    virtual ~SavePathChooser() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> choose(QWidget* parent, const SaveRequest& request) = 0;

    // `path` ending with "." + suffix, compared without case; any other ending gets it appended.
    static QString withSuffix(const QString& path, const QString& suffix);
};

// The desktop's modal save dialog, opening in the user's Pictures folder for images and Documents for
// everything else. The dialog asks before it replaces a file.
class FileDialogChooser : public SavePathChooser {
public:
    std::optional<QString> choose(QWidget* parent, const SaveRequest& request) override;
};

} // namespace halvrick
