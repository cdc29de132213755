#include "forms/x11/PixelLayout.h"

#include <QSysInfo>

namespace forms::x11 {

const xcb_visualtype_t* FindVisual(const xcb_setup_t* setup, xcb_visualid_t id)
{
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem; xcb_screen_next(&screen)) {
        for (auto depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem;
             xcb_depth_next(&depth)) {
            for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
                 xcb_visualtype_next(&visual)) {
                if (visual.data->visual_id == id)
                    return visual.data;
            }
        }
    }
    return nullptr;
}

PixelLayout LayoutOf(const xcb_setup_t* setup, const xcb_visualtype_t* visual, int depth)
{
    PixelLayout layout;
    if (!visual)
        return layout;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
        if (f.data->depth == depth) {
            layout.bitsPerPixel = f.data->bits_per_pixel;
            layout.scanlinePad = f.data->scanline_pad;
        }
    }
    // Pixels travel in the server's byte order; QImage holds them in the host's.
    const bool lsbFirst = (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST)
                          == (QSysInfo::ByteOrder == QSysInfo::LittleEndian);
    const auto masks = [visual](quint32 r, quint32 g, quint32 b) {
        return visual->red_mask == r && visual->green_mask == g && visual->blue_mask == b;
    };
    const bool trueColor = visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR
                           || visual->_class == XCB_VISUAL_CLASS_DIRECT_COLOR;
    if (layout.bitsPerPixel == 32 && lsbFirst && trueColor && (depth == 24 || depth == 32)
        && masks(0xff0000, 0xff00, 0xff))
        layout.format = QImage::Format_RGB32;
    else if (layout.bitsPerPixel == 32 && lsbFirst && trueColor && depth == 30
             && masks(0x3ff00000, 0xffc00, 0x3ff))
        layout.format = QImage::Format_RGB30;
    else if (layout.bitsPerPixel == 16 && lsbFirst && trueColor && depth == 16
             && masks(0xf800, 0x7e0, 0x1f))
        layout.format = QImage::Format_RGB16;
    else if (layout.bitsPerPixel == 16 && lsbFirst && trueColor && depth == 15
             && masks(0x7c00, 0x3e0, 0x1f))
        layout.format = QImage::Format_RGB555;
    else if (layout.bitsPerPixel == 8 && depth == 8 && visual->colormap_entries == 256
             && (visual->_class == XCB_VISUAL_CLASS_PSEUDO_COLOR
                 || visual->_class == XCB_VISUAL_CLASS_STATIC_COLOR
                 || visual->_class == XCB_VISUAL_CLASS_GRAY_SCALE
                 || visual->_class == XCB_VISUAL_CLASS_STATIC_GRAY)) {
        layout.format = QImage::Format_Indexed8;
        layout.palette = true;
    }
    return layout;
}

} // namespace forms::x11
