#pragma once

#include "ui/PngExport.h"
#include "ui/SavePathChooser.h"

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace halvrick {

class ShareButton;

// A card window's content: the card, rounded and lifted by a shadow, over one row with the status
// line, "Save PNG…" and "Share…". Both buttons render the card afresh into its file first.
class CardWindowView : public QWidget {
public:
    static constexpr const char* savedText = "Saved.";
    static constexpr const char* failedText = "Couldn't make the image. Try again?";

    // Renders the card as it is now and writes its PNG; the path, or nothing when that failed.
    using ExportCard = std::function<std::optional<QString>()>;

    CardWindowView(QWidget* card, ExportCard exportCard, SavePathChooser& chooser, QWidget* parent = nullptr);

    // The card painted at 600 x 600 points and scale 2 into `fileName` in the private card folder.
    static std::optional<QString> writeCard(const CardPainter& paint, const QString& fileName);

    // Shrinks the card on screen, never past its design size, so that the whole view fits `room`; the
    // card paints itself scaled and its PNG keeps the full size.
    void fitCard(QSize room);

    // Shows the failure line when the card could not be made.
    std::optional<QString> exportFile();
    // A cancelled dialog is no failure: the line stays as it was.
    void save();

    QString message() const { return message_->text(); }
    QWidget& card() const { return *card_; }
    QPushButton& saveButton() const { return *save_; }
    ShareButton& shareButton() const { return *share_; }

private:
    void setMessage(const char* text);

    QWidget* card_;
    ExportCard exportCard_;
    SavePathChooser& chooser_;
    QLabel* message_;
    QPushButton* save_;
    ShareButton* share_;
};

} // namespace halvrick
