// Pictures turned as their files say (EXIF orientation) in the memory they were decoded
// into, so a turned photo costs no more than an upright one.
#include "forms/ImageOrientation.h"

#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace forms {
namespace {

// In-place transformations of tightly or loosely packed pixels of Element type.
template <class Element>
void mirrorInPlace(uchar* bits, int width, int height, qsizetype stride, bool horizontal,
                   bool vertical)
{
    if (vertical) {
        std::vector<uchar> row(stride);
        for (int y = 0; y < height / 2; ++y) {
            uchar* a = bits + y * stride;
            uchar* b = bits + (height - 1 - y) * stride;
            std::memcpy(row.data(), a, stride);
            std::memcpy(a, b, stride);
            std::memcpy(b, row.data(), stride);
        }
    }
    if (horizontal) {
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<Element*>(bits + y * stride);
            std::reverse(line, line + width);
        }
    }
}

// Transposes a rows x columns matrix stored without padding, in place: the element at
// (r, c) moves to (c, r). Follows each cycle of the permutation, with one bit per element
// to mark what has moved, instead of a second copy of the picture.
template <class Element> void transposeInPlace(uchar* bits, quint64 rows, quint64 columns)
{
    auto* data = reinterpret_cast<Element*>(bits);
    const quint64 count = rows * columns;
    if (count < 3)
        return;
    std::vector<bool> moved(count, false);
    for (quint64 start = 1; start + 1 < count; ++start) {
        if (moved[start])
            continue;
        Element carried = data[start];
        quint64 i = start;
        do {
            const quint64 next = (i * rows) % (count - 1);
            std::swap(carried, data[next]);
            moved[next] = true;
            i = next;
        } while (i != start);
    }
}

// Qt's transformation flags: mirror, then flip, then a quarter turn clockwise.
template <class Element>
void orientInPlace(uchar* bits, int width, int height, qsizetype stride,
                   QImageIOHandler::Transformations how)
{
    mirrorInPlace<Element>(bits, width, height, stride, how & QImageIOHandler::TransformationMirror,
                           how & QImageIOHandler::TransformationFlip);
    if (how & QImageIOHandler::TransformationRotate90) {
        transposeInPlace<Element>(bits, quint64(height), quint64(width));
        mirrorInPlace<Element>(bits, height, width, qsizetype(height) * sizeof(Element), true,
                               false);
    }
}

// The same turn as a matrix, for pictures the in-place code does not handle.
QImage transformedCopy(const QImage& image, QImageIOHandler::Transformations how)
{
    QTransform turn;
    if (how & QImageIOHandler::TransformationRotate90)
        turn.rotate(90);
    turn.scale(how & QImageIOHandler::TransformationMirror ? -1 : 1,
               how & QImageIOHandler::TransformationFlip ? -1 : 1);
    return image.transformed(turn);
}

void freeBuffer(void* buffer)
{
    std::free(buffer);
}

// Decodes a picture that has to be turned a quarter: into a buffer without padding, so it
// can be turned where it lies, and then handed over to the picture that shows it.
QImage readTurned(QImageReader& reader, QSize size, QImage::Format format, int bytesPerPixel,
                  QImageIOHandler::Transformations how)
{
    const qsizetype stride = qsizetype(size.width()) * bytesPerPixel;
    auto* buffer = static_cast<uchar*>(std::malloc(std::max<qsizetype>(1, stride * size.height())));
    if (!buffer)
        return {};
    {
        QImage target(buffer, size.width(), size.height(), stride, format);
        if (!reader.read(&target) || target.isNull())
            return std::free(buffer), QImage();
        if (target.constBits() != buffer || target.size() != size || target.format() != format) {
            // The decoder made its own: turn that one the ordinary way.
            std::free(buffer);
            return transformedCopy(target, how);
        }
    }
    if (bytesPerPixel == 4)
        orientInPlace<quint32>(buffer, size.width(), size.height(), stride, how);
    else
        orientInPlace<quint8>(buffer, size.width(), size.height(), stride, how);
    return QImage(buffer, size.height(), size.width(), qsizetype(size.height()) * bytesPerPixel,
                  format, freeBuffer, buffer);
}

} // namespace

QImage ReadOriented(QImageReader& reader, QSize declared, QImage::Format pixelFormat, int bits,
                    QImageIOHandler::Transformations how)
{
    QImage image;
    if ((how & QImageIOHandler::TransformationRotate90) && declared.isValid()
        && (bits == 32 || bits == 8)) {
        image = readTurned(reader, declared, pixelFormat, bits / 8, how);
    } else {
        image = reader.read();
        if (!image.isNull() && how != QImageIOHandler::TransformationNone) {
            if ((image.depth() == 32 || image.depth() == 8)
                && !(how & QImageIOHandler::TransformationRotate90)) {
                uchar* pixels = image.bits(); // the only reference: no copy
                if (image.depth() == 32)
                    mirrorInPlace<quint32>(pixels, image.width(), image.height(),
                                           image.bytesPerLine(),
                                           how & QImageIOHandler::TransformationMirror,
                                           how & QImageIOHandler::TransformationFlip);
                else
                    mirrorInPlace<quint8>(pixels, image.width(), image.height(),
                                          image.bytesPerLine(),
                                          how & QImageIOHandler::TransformationMirror,
                                          how & QImageIOHandler::TransformationFlip);
            } else {
                image = transformedCopy(image, how);
            }
        }
    }
    return image;
}

} // namespace forms
