#pragma once

#include <QImage>
#include <QImageIOHandler>

class QImageReader;

namespace forms {

// Reads reader's picture (of the declared size and pixel format, bitsPerPixel bits each)
// turned as how says, without a second copy of the picture where the pixels allow it.
QImage ReadOriented(QImageReader& reader, QSize declared, QImage::Format format, int bitsPerPixel,
                    QImageIOHandler::Transformations how);

} // namespace forms
