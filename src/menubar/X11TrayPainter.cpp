#include "menubar/X11TrayPainter.h"

#include <QImage>
#include <QPainter>

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <bit>
#include <cstdlib>

namespace halvrick {

struct X11TrayPainter::Formats {
    struct Window {
        xcb_render_pictformat_t format = 0;
        bool hasAlpha = false;
    };
    xcb_render_pictformat_t argb32 = 0;
    std::map<xcb_visualid_t, Window> visuals;
};

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> reply(T* answer) { return Reply<T>(answer, std::free); }

// Requests on a window that the tray may have destroyed meanwhile: their errors are dropped here rather
// than left for the toolkit to log.
void quietly(xcb_connection_t* connection, xcb_void_cookie_t cookie) {
    xcb_discard_reply(connection, cookie.sequence);
}

bool isARGB32(const xcb_render_pictforminfo_t& info) {
    const xcb_render_directformat_t& d = info.direct;
    return info.type == XCB_RENDER_PICT_TYPE_DIRECT && info.depth == 32 && d.alpha_shift == 24 &&
           d.alpha_mask == 0xff && d.red_shift == 16 && d.red_mask == 0xff && d.green_shift == 8 &&
           d.green_mask == 0xff && d.blue_shift == 0 && d.blue_mask == 0xff;
}

// QImage's premultiplied ARGB32 rows go to the server as they are: 32 bits a pixel, no row padding
// beyond that, in this machine's byte order.
bool takesImageRowsAsTheyAre(const xcb_setup_t* setup) {
    const bool littleEndian = std::endian::native == std::endian::little;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian) {
        return false;
    }
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == 32) {
            return it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<X11TrayPainter> X11TrayPainter::make(xcb_connection_t* connection) {
    if (connection == nullptr || xcb_connection_has_error(connection) != 0 ||
        !takesImageRowsAsTheyAre(xcb_get_setup(connection))) {
        return nullptr;
    }
    const xcb_query_extension_reply_t* render = xcb_get_extension_data(connection, &xcb_render_id);
    if (render == nullptr || render->present == 0) {
        return nullptr;
    }
    const auto version = reply(
        xcb_render_query_version_reply(connection, xcb_render_query_version(connection, 0, 11), nullptr));
    const auto answer = reply(
        xcb_render_query_pict_formats_reply(connection, xcb_render_query_pict_formats(connection), nullptr));
    if (!version || !answer) {
        return nullptr;
    }
    auto formats = std::make_unique<Formats>();
    std::map<xcb_render_pictformat_t, bool> alphaOf;
    for (auto it = xcb_render_query_pict_formats_formats_iterator(answer.get()); it.rem;
         xcb_render_pictforminfo_next(&it)) {
        alphaOf[it.data->id] = it.data->direct.alpha_mask != 0;
        if (isARGB32(*it.data)) {
            formats->argb32 = it.data->id;
        }
    }
    if (formats->argb32 == 0) {
        return nullptr;
    }
    for (auto screen = xcb_render_query_pict_formats_screens_iterator(answer.get()); screen.rem;
         xcb_render_pictscreen_next(&screen)) {
        for (auto depth = xcb_render_pictscreen_depths_iterator(screen.data); depth.rem;
             xcb_render_pictdepth_next(&depth)) {
            for (auto visual = xcb_render_pictdepth_visuals_iterator(depth.data); visual.rem;
                 xcb_render_pictvisual_next(&visual)) {
                formats->visuals[visual.data->visual] = {visual.data->format, alphaOf[visual.data->format]};
            }
        }
    }
    return std::unique_ptr<X11TrayPainter>(new X11TrayPainter(connection, std::move(formats)));
}

X11TrayPainter::X11TrayPainter(xcb_connection_t* connection, std::unique_ptr<Formats> formats)
    : connection_(connection), formats_(std::move(formats)) {}

X11TrayPainter::~X11TrayPainter() {
    if (xcb_connection_has_error(connection_) == 0) {
        forgetWindow();
        xcb_flush(connection_);
    }
}

bool X11TrayPainter::show(std::uint32_t window, QSize size, double devicePixelRatio, const QIcon& icon) {
    if (window == 0 || size.isEmpty() || icon.isNull() || !(devicePixelRatio > 0) ||
        xcb_connection_has_error(connection_) != 0) {
        return false;
    }
    const QSize pixels = (QSizeF(size) * devicePixelRatio).toSize();
    if (!useWindow(window, pixels)) {
        return false;
    }
    const auto known = icons_.find(icon.cacheKey());
    const std::uint32_t picture =
        known != icons_.end() ? known->second : upload(icon, size, devicePixelRatio);
    if (picture == 0) {
        return false;
    }
    const auto width = static_cast<std::uint16_t>(pixels.width());
    const auto height = static_cast<std::uint16_t>(pixels.height());
    // Unchecked: a checked request waits in the connection's list until a later reply passes it, and the
    // frames of an animation would pile up there. The window lives as long as Qt's widget for it.
    if (!windowHasAlpha_) {
        // Shows the parent's background again, under the icon's translucent pixels.
        xcb_clear_area(connection_, 0, window_, 0, 0, width, height);
    }
    xcb_render_composite(connection_, windowHasAlpha_ ? XCB_RENDER_PICT_OP_SRC : XCB_RENDER_PICT_OP_OVER,
                         picture, XCB_NONE, windowPicture_, 0, 0, 0, 0, 0, 0, width, height);
    xcb_flush(connection_);
    return true;
}

bool X11TrayPainter::useWindow(std::uint32_t window, QSize pixels) {
    if (window == window_ && pixels == pixels_) {
        return true;
    }
    if (window == window_) {
        forgetIcons();
        pixels_ = pixels;
        return true;
    }
    forgetWindow();
    xcb_generic_error_t* error = nullptr;
    const auto attributes = reply(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), &error));
    std::free(error);
    if (!attributes) {
        return false;
    }
    const auto visual = formats_->visuals.find(attributes->visual);
    if (visual == formats_->visuals.end()) {
        return false;
    }
    windowPicture_ = xcb_generate_id(connection_);
    quietly(connection_, xcb_render_create_picture_checked(connection_, windowPicture_, window,
                                                           visual->second.format, 0, nullptr));
    windowHasAlpha_ = visual->second.hasAlpha;
    window_ = window;
    pixels_ = pixels;
    return true;
}

std::uint32_t X11TrayPainter::upload(const QIcon& icon, QSize size, double devicePixelRatio) {
    if (icons_.size() >= keptIcons) {
        forgetIcons();
    }
    QImage image(pixels_, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        icon.paint(&painter, QRect(QPoint(0, 0), size));
    }
    // A put-image request's header is 24 bytes; the limit counts 4-byte units.
    const auto bytes = static_cast<std::uint64_t>(image.sizeInBytes());
    if (bytes + 24 > static_cast<std::uint64_t>(xcb_get_maximum_request_length(connection_)) * 4) {
        return 0;
    }
    const auto width = static_cast<std::uint16_t>(image.width());
    const auto height = static_cast<std::uint16_t>(image.height());
    const xcb_pixmap_t pixmap = xcb_generate_id(connection_);
    quietly(connection_, xcb_create_pixmap_checked(connection_, 32, pixmap, window_, width, height));
    const xcb_gcontext_t gc = xcb_generate_id(connection_);
    quietly(connection_, xcb_create_gc_checked(connection_, gc, pixmap, 0, nullptr));
    quietly(connection_,
            xcb_put_image_checked(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, height, 0, 0, 0,
                                  32, static_cast<std::uint32_t>(bytes), image.constBits()));
    const xcb_render_picture_t picture = xcb_generate_id(connection_);
    quietly(connection_,
            xcb_render_create_picture_checked(connection_, picture, pixmap, formats_->argb32, 0, nullptr));
    // The picture keeps the pixmap alive on the server.
    quietly(connection_, xcb_free_gc_checked(connection_, gc));
    quietly(connection_, xcb_free_pixmap_checked(connection_, pixmap));
    icons_.emplace(icon.cacheKey(), picture);
    return picture;
}

void X11TrayPainter::forgetIcons() {
    for (const auto& [key, picture] : icons_) {
        quietly(connection_, xcb_render_free_picture_checked(connection_, picture));
    }
    icons_.clear();
}

void X11TrayPainter::forgetWindow() {
    forgetIcons();
    if (windowPicture_ != 0) {
        quietly(connection_, xcb_render_free_picture_checked(connection_, windowPicture_));
    }
    windowPicture_ = 0;
    window_ = 0;
    pixels_ = QSize();
}

} // namespace halvrick
