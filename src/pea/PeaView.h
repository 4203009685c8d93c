#pragma once

#include "core/PeaFace.h"
#include "pea/PeaStyle.h"

#include <QWidget>

namespace halvrick {

// A still pea. It has no size of its own: the pea fits the widget, centred.
class PeaView : public QWidget {
public:
    explicit PeaView(const PeaFace& face = {}, PeaFace::Detail detail = PeaFace::Detail::full,
                     const PeaStyle& style = {}, QWidget* parent = nullptr);

    const PeaFace& face() const { return face_; }
    PeaFace::Detail detail() const { return detail_; }
    const PeaStyle& style() const { return style_; }
    void setFace(const PeaFace& face);
    void setDetail(PeaFace::Detail detail);
    void setStyle(const PeaStyle& style);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PeaFace face_;
    PeaFace::Detail detail_;
    PeaStyle style_;
};

} // namespace halvrick
