#pragma once

#include <QImage>

#include <xcb/xcb.h>

namespace forms::x11 {

// How an X visual's pixels are laid out in memory, mapped to a QImage format
// (Format_Invalid where none matches).
struct PixelLayout {
    QImage::Format format = QImage::Format_Invalid;
    int bitsPerPixel = 0;
    int scanlinePad = 32;
    bool palette = false; // 256-colour palette visual: pixels index the colormap

    qsizetype bytesPerLine(int width) const
    {
        const qsizetype bits = qsizetype(width) * bitsPerPixel;
        return (bits + scanlinePad - 1) / scanlinePad * scanlinePad / 8;
    }
};

// The visual with that id on any screen of the server, or null.
const xcb_visualtype_t* FindVisual(const xcb_setup_t* setup, xcb_visualid_t id);

// The layout of pixels of visual at depth, as images of that depth travel to and from
// the server.
PixelLayout LayoutOf(const xcb_setup_t* setup, const xcb_visualtype_t* visual, int depth);

} // namespace forms::x11
