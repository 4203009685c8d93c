#pragma once

#include "artwork/ArtworkLabView.h"

#include <QWidget>
#include <memory>

namespace halvrick {

// The artwork lab's one window: made on the first show with its content, which it keeps (the chosen tab
// and the last export's message survive closing); every show brings it to the front.
class ArtworkLabWindowController {
public:
    static constexpr const char* title = "Halvrick Artwork Lab";

    // The full export into its default folder, shown in the file manager, unless replaced (tests).
    explicit ArtworkLabWindowController(ArtworkLabView::Exporter exporter = {},
                                        ArtworkLabView::FolderChooser folder = {},
                                        ArtworkLabView::Reveal reveal = {});
    ~ArtworkLabWindowController();

    void show();

    // None until the first show.
    QWidget* window() const { return window_.get(); }
    ArtworkLabView* view() const { return view_; }

private:
    ArtworkLabView::Exporter exporter_;
    ArtworkLabView::FolderChooser folder_;
    ArtworkLabView::Reveal reveal_;
    std::unique_ptr<QWidget> window_;
    ArtworkLabView* view_ = nullptr;
};

} // namespace halvrick
