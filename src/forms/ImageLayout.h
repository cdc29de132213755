#pragma once

#include <QByteArray>
#include <QSize>

namespace forms {

// What the file's own structure says before any pixel is decoded.
struct Layout {
    bool truncated = false; // the image data ends before the image does
    double workingBytes = 0; // what the decoder allocates besides the picture
    QSize declared; // the size the header gives
};

// Reads the structure of an open image file of the given format (jpeg, gif, bmp) without
// decoding pixels; formats it does not know give an empty layout.
Layout ReadImageLayout(int fd, const QByteArray& format);

} // namespace forms
