#pragma once

#include <QLabel>
#include <QRectF>
#include <optional>
#include <vector>

namespace halvrick {

// Plain text on as many lines as it needs: it breaks between words and, where a word is longer than the
// line, inside the word. With a line limit, or less height than the text needs, the last line shown ends
// in "…". text() stays the whole text; the breaks exist only on screen.
class WrappedLabel : public QLabel {
    Q_OBJECT

public:
    struct Line {
        QString text;
        // Where its ink goes, in the label's coordinates.
        QRectF rect;
    };

    explicit WrappedLabel(QWidget* parent = nullptr);

    // None: every line the height holds.
    void setMaximumLines(std::optional<int> lines);
    std::optional<int> maximumLines() const { return maximumLines_; }

    // The lines as drawn at the label's current size.
    std::vector<Line> shownLines() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Line> layOut(QRectF area, bool fitHeight) const;
    int marginsHeight() const;

    std::optional<int> maximumLines_;
};

} // namespace halvrick
