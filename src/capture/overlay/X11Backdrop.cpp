#include "capture/overlay/X11Backdrop.h"

#include "forms/x11/PixelLayout.h"
#include "forms/x11/QtXcb.h"
#include "forms/x11/XcbReply.h"

#include "forms/LineControl.h"

#include <QImage>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace capture {
namespace {

// Whether pixels of visual at depth have the memory layout of QImage::Format_RGB32.
bool rgb32(xcb_connection_t* conn, xcb_visualid_t visual, int depth)
{
    const xcb_setup_t* setup = xcb_get_setup(conn);
    return forms::x11::LayoutOf(setup, forms::x11::FindVisual(setup, visual), depth).format
           == QImage::Format_RGB32;
}

// Qt's pen patterns in pen widths, as X dash lengths.
std::vector<uint8_t> dashes(Qt::PenStyle style)
{
    switch (style) {
    case Qt::DotLine:
        return {1, 2};
    case Qt::DashLine:
        return {4, 2};
    case Qt::DashDotLine:
        return {4, 2, 1, 2};
    case Qt::DashDotDotLine:
        return {4, 2, 1, 2, 1, 2};
    default:
        return {};
    }
}

int16_t devicePixel(qreal logical, qreal ratio)
{
    return static_cast<int16_t>(std::floor(logical * ratio + 1e-6));
}

void drawLine(xcb_connection_t* conn, xcb_drawable_t window, xcb_gcontext_t gc,
              const forms::LineControl& line, qreal ratio)
{
    const QColor color = line.borderColor();
    const std::vector<uint8_t> pattern = dashes(line.borderStyle());
    // A dotted or one-pixel line is one device pixel wide at any ratio, as Qt's cosmetic pen.
    const int width
        = pattern.empty() && line.borderWidth() > 1 ? std::lround(line.borderWidth() * ratio) : 0;
    const uint32_t values[]
        = {static_cast<uint32_t>(color.rgb() & 0xffffff), static_cast<uint32_t>(width),
           pattern.empty() ? uint32_t(XCB_LINE_STYLE_SOLID) : uint32_t(XCB_LINE_STYLE_ON_OFF_DASH),
           XCB_CAP_STYLE_PROJECTING};
    xcb_change_gc(conn, gc,
                  XCB_GC_FOREGROUND | XCB_GC_LINE_WIDTH | XCB_GC_LINE_STYLE | XCB_GC_CAP_STYLE,
                  values);
    if (!pattern.empty())
        xcb_set_dashes(conn, gc, 0, static_cast<uint16_t>(pattern.size()), pattern.data());
    const xcb_point_t ends[] = {{devicePixel(line.X1(), ratio), devicePixel(line.Y1(), ratio)},
                                {devicePixel(line.X2(), ratio), devicePixel(line.Y2(), ratio)}};
    if (ends[0].x == ends[1].x && ends[0].y == ends[1].y)
        xcb_poly_point(conn, XCB_COORD_MODE_ORIGIN, window, gc, 1, ends);
    else
        xcb_poly_line(conn, XCB_COORD_MODE_ORIGIN, window, gc, 2, ends);
}

} // namespace

bool BackdropSupported(const QImage& picture)
{
    xcb_connection_t* conn = forms::x11::QtXcbConnection();
    if (!conn || picture.isNull() || picture.format() != QImage::Format_RGB32)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    return screen && rgb32(conn, screen->root_visual, screen->root_depth);
}

bool SetBackdrop(QWidget& widget, const QImage& picture)
{
    xcb_connection_t* conn = forms::x11::QtXcbConnection();
    if (!conn || picture.format() != QImage::Format_RGB32)
        return false;
    const auto window = static_cast<xcb_window_t>(widget.winId());
    const forms::x11::XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(conn, xcb_get_geometry(conn, window), nullptr));
    const forms::x11::XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, window), nullptr));
    if (!geometry || !attributes || !rgb32(conn, attributes->visual, geometry->depth))
        return false;

    const int width = picture.width();
    const int height = picture.height();
    const xcb_pixmap_t pixmap = xcb_generate_id(conn);
    xcb_create_pixmap(conn, geometry->depth, pixmap, window, static_cast<uint16_t>(width),
                      static_cast<uint16_t>(height));
    const xcb_gcontext_t gc = xcb_generate_id(conn);
    xcb_create_gc(conn, gc, pixmap, 0, nullptr);
    // In bands of rows that fit one request. A picture that is part of a wider one has
    // its rows packed first, a band at a time.
    const std::size_t rowBytes = std::size_t(width) * 4;
    const std::size_t requestBytes = std::size_t(xcb_get_maximum_request_length(conn)) * 4 - 64;
    const int bandRows = int(std::clamp<std::size_t>(requestBytes / rowBytes, 1, 256));
    const bool packed = std::size_t(picture.bytesPerLine()) == rowBytes;
    std::vector<uint8_t> band(packed ? 0 : rowBytes * bandRows);
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        const uint8_t* data = picture.constScanLine(top);
        if (!packed) {
            for (int row = 0; row < rows; ++row)
                std::memcpy(band.data() + row * rowBytes, picture.constScanLine(top + row),
                            rowBytes);
            data = band.data();
        }
        xcb_put_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, static_cast<uint16_t>(width),
                      static_cast<uint16_t>(rows), 0, static_cast<int16_t>(top), 0, geometry->depth,
                      static_cast<uint32_t>(rows * rowBytes), data);
    }
    const xcb_void_cookie_t set
        = xcb_change_window_attributes_checked(conn, window, XCB_CW_BACK_PIXMAP, &pixmap);
    // The window keeps the pixmap as long as it needs it.
    xcb_free_gc(conn, gc);
    xcb_free_pixmap(conn, pixmap);
    const forms::x11::XcbReply<xcb_generic_error_t> error(xcb_request_check(conn, set));
    return !error;
}

void PaintBackdrop(QWidget& widget, const QRegion& region,
                   const std::vector<const forms::LineControl*>& lines)
{
    xcb_connection_t* conn = forms::x11::QtXcbConnection();
    if (!conn)
        return;
    const auto window = static_cast<xcb_window_t>(widget.winId());
    const qreal ratio = widget.devicePixelRatioF();
    for (const QRect& rect : region) {
        const QRect device = QRectF(rect.x() * ratio, rect.y() * ratio, rect.width() * ratio,
                                    rect.height() * ratio)
                                 .toAlignedRect();
        xcb_clear_area(conn, 0, window, static_cast<int16_t>(device.x()),
                       static_cast<int16_t>(device.y()), static_cast<uint16_t>(device.width()),
                       static_cast<uint16_t>(device.height()));
    }
    const xcb_gcontext_t gc = xcb_generate_id(conn);
    xcb_create_gc(conn, gc, window, 0, nullptr);
    for (const forms::LineControl* line : lines) {
        if (line->isVisible())
            drawLine(conn, window, gc, *line, ratio);
    }
    xcb_free_gc(conn, gc);
    xcb_flush(conn);
}

} // namespace capture
