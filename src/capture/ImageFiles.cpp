#include "capture/ImageFiles.h"

#include "forms/NativeFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>

#include <QTransform>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

namespace capture {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("capture::ImageFiles", text);
}

// Reads a file by position without moving the reader's own position.
class Bytes {
public:
    explicit Bytes(int fd)
        : fd_(fd)
    {
        size_ = ::lseek(fd, 0, SEEK_END);
        ::lseek(fd, 0, SEEK_SET);
    }
    qint64 size() const { return size_; }
    // The byte at offset, or -1 past the end.
    int at(qint64 offset)
    {
        if (offset < 0 || offset >= size_)
            return -1;
        if (offset < start_ || offset >= start_ + qint64(buffer_.size())) {
            buffer_.resize(64 * 1024);
            const ssize_t got = ::pread(fd_, buffer_.data(), buffer_.size(), offset);
            buffer_.resize(std::max<ssize_t>(got, 0));
            start_ = offset;
            if (buffer_.empty())
                return -1;
        }
        return uchar(buffer_[offset - start_]);
    }
    int u16be(qint64 offset)
    {
        const int a = at(offset), b = at(offset + 1);
        return a < 0 || b < 0 ? -1 : (a << 8) | b;
    }

private:
    int fd_;
    qint64 size_ = 0;
    qint64 start_ = 0;
    std::vector<char> buffer_;
};

// What the file's own structure says before any pixel is decoded.
struct Layout {
    bool truncated = false;    // the image data ends before the image does
    double workingBytes = 0;   // what the decoder allocates besides the picture
    QSize declared;            // the size the header gives
};

// JPEG: marker segments up to the end-of-image marker, whatever follows it (cameras
// append data). A scan needs at least one bit for each 8 x 8 block of its first
// component, so a file far too short for the size it declares is cut off or forged.
// A progressive (or multi-scan) file is decoded through a buffer of all its coefficients.
Layout jpegLayout(Bytes& bytes)
{
    Layout layout;
    if (bytes.u16be(0) != 0xffd8)
        return layout; // not ours to judge: the decoder says what it is
    qint64 at = 2;
    int width = 0, height = 0;
    bool progressive = false, arithmetic = false, multiScan = false, firstScan = true;
    int components = 0, hmax = 1, vmax = 1;
    std::vector<std::pair<int, int>> sampling;
    qint64 entropyBytes = 0;
    for (;;) {
        if (bytes.at(at) != 0xff) {
            if (bytes.at(at) < 0)
                layout.truncated = true;
            break; // damaged: the decoder reports it
        }
        while (bytes.at(at) == 0xff)
            ++at;
        const int marker = bytes.at(at++);
        if (marker < 0) {
            layout.truncated = true;
            break;
        }
        if (marker == 0xd9)
            break; // end of image
        if ((marker >= 0xd0 && marker <= 0xd7) || marker == 0x01)
            continue;
        const int length = bytes.u16be(at);
        if (length < 2 || at + length > bytes.size()) {
            layout.truncated = true;
            break;
        }
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc) {
            height = bytes.u16be(at + 3);
            width = bytes.u16be(at + 5);
            components = std::max(0, bytes.at(at + 7));
            progressive = marker == 0xc2 || marker == 0xc6 || marker == 0xca || marker == 0xce;
            arithmetic = marker >= 0xc9;
            sampling.clear();
            for (int c = 0; c < components && 8 + 3 * c + 1 < length; ++c) {
                const int factors = bytes.at(at + 8 + 3 * c + 1);
                const int h = std::max(1, factors >> 4), v = std::max(1, factors & 15);
                sampling.emplace_back(h, v);
                hmax = std::max(hmax, h);
                vmax = std::max(vmax, v);
            }
        }
        if (marker == 0xda) {
            if (firstScan && bytes.at(at + 2) < components)
                multiScan = true;
            firstScan = false;
            at += length;
            // Entropy-coded data runs to the next marker other than a restart marker.
            for (;;) {
                const int byte = bytes.at(at);
                if (byte < 0) {
                    layout.truncated = true;
                    break;
                }
                if (byte == 0xff) {
                    const int next = bytes.at(at + 1);
                    if (next < 0) {
                        layout.truncated = true;
                        break;
                    }
                    if (next != 0 && !(next >= 0xd0 && next <= 0xd7))
                        break;
                    at += 2;
                    entropyBytes += 2;
                    continue;
                }
                ++at;
                ++entropyBytes;
            }
            if (layout.truncated)
                break;
            continue;
        }
        at += length;
    }
    if (width <= 0 || height <= 0 || sampling.empty())
        return layout;
    layout.declared = QSize(width, height);
    double firstBlocks = 0, coefficients = 0;
    for (std::size_t c = 0; c < sampling.size(); ++c) {
        const double across = std::ceil(std::ceil(double(width) * sampling[c].first / hmax) / 8);
        const double down = std::ceil(std::ceil(double(height) * sampling[c].second / vmax) / 8);
        // libjpeg rounds each component up to whole units of its sampling factors.
        const double roundedAcross = std::ceil(across / sampling[c].first) * sampling[c].first;
        const double roundedDown = std::ceil(down / sampling[c].second) * sampling[c].second;
        coefficients += roundedAcross * roundedDown * 64 * 2;
        if (c == 0)
            firstBlocks = across * down;
    }
    if (!arithmetic && double(entropyBytes) * 8 < firstBlocks)
        layout.truncated = true;
    if (progressive || multiScan)
        layout.workingBytes = coefficients;
    return layout;
}

// GIF: the blocks up to the end of the first image's data, which is what is shown.
Layout gifLayout(Bytes& bytes)
{
    Layout layout;
    qint64 at = 13;
    const int flags = bytes.at(10);
    if (flags >= 0)
        layout.declared = QSize(bytes.at(6) | bytes.at(7) << 8, bytes.at(8) | bytes.at(9) << 8);
    if (flags < 0) {
        layout.truncated = true;
        return layout;
    }
    if (flags & 0x80)
        at += 3 << ((flags & 7) + 1);
    const auto skipSubBlocks = [&bytes, &at]() {
        for (;;) {
            const int length = bytes.at(at);
            if (length < 0)
                return false;
            ++at;
            if (length == 0)
                return true;
            at += length;
        }
    };
    for (;;) {
        const int introducer = bytes.at(at++);
        if (introducer < 0) {
            layout.truncated = true;
            return layout;
        }
        if (introducer == 0x3b)
            return layout; // trailer
        if (introducer == 0x21) {
            ++at; // label
            if (!skipSubBlocks()) {
                layout.truncated = true;
                return layout;
            }
        } else if (introducer == 0x2c) {
            const int imageFlags = bytes.at(at + 8);
            if (imageFlags < 0) {
                layout.truncated = true;
                return layout;
            }
            at += 9;
            if (imageFlags & 0x80)
                at += 3 << ((imageFlags & 7) + 1);
            ++at; // LZW minimum code size
            layout.truncated = !skipSubBlocks();
            return layout;
        } else {
            return layout; // damaged: the decoder reports it
        }
    }
}

// BMP: uncompressed rows have a fixed size.
Layout bmpLayout(Bytes& bytes)
{
    Layout layout;
    QByteArray header(54, '\0');
    for (int i = 0; i < 54; ++i) {
        const int byte = bytes.at(i);
        if (byte < 0) {
            layout.truncated = true;
            return layout;
        }
        header[i] = char(byte);
    }
    const auto* h = reinterpret_cast<const uchar*>(header.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(h + 14);
    if (headerSize < 40)
        return layout; // old OS/2 layout: leave it to the decoder
    const quint32 offset = qFromLittleEndian<quint32>(h + 10);
    const qint64 width = qFromLittleEndian<qint32>(h + 18);
    const qint64 height = std::abs(qint64(qFromLittleEndian<qint32>(h + 22)));
    const quint16 bits = qFromLittleEndian<quint16>(h + 28);
    const quint32 compression = qFromLittleEndian<quint32>(h + 30);
    if (compression != 0 && compression != 3)
        return layout; // run-length data has no fixed size
    if (width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX)
        layout.declared = QSize(int(width), int(height));
    const qint64 stride = (width * bits + 31) / 32 * 4;
    layout.truncated = bytes.size() < qint64(offset) + stride * height;
    return layout;
}

Layout layoutOf(Bytes& bytes, const QByteArray& format)
{
    if (format == "jpeg" || format == "jpg")
        return jpegLayout(bytes);
    if (format == "gif")
        return gifLayout(bytes);
    if (format == "bmp")
        return bmpLayout(bytes);
    return {};
}

// In-place transformations of tightly or loosely packed pixels of Element type.
template <class Element>
void mirrorInPlace(uchar* bits, int width, int height, qsizetype stride, bool horizontal, bool vertical)
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
template <class Element>
void transposeInPlace(uchar* bits, quint64 rows, quint64 columns)
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
void orientInPlace(uchar* bits, int width, int height, qsizetype stride, QImageIOHandler::Transformations how)
{
    mirrorInPlace<Element>(bits, width, height, stride, how & QImageIOHandler::TransformationMirror,
                           how & QImageIOHandler::TransformationFlip);
    if (how & QImageIOHandler::TransformationRotate90) {
        transposeInPlace<Element>(bits, quint64(height), quint64(width));
        mirrorInPlace<Element>(bits, height, width, qsizetype(height) * sizeof(Element), true, false);
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

int bitsPerPixel(QImage::Format format)
{
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return 0;
    return QImage::toPixelFormat(format).bitsPerPixel();
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
    return QImage(buffer, size.height(), size.width(), qsizetype(size.height()) * bytesPerPixel, format,
                  freeBuffer, buffer);
}

} // namespace

LoadedPicture LoadPicture(const QString& path)
{
    const forms::OpenedFile opened = forms::OpenRegularFile(path);
    if (opened.fd < 0)
        return {{}, opened.error};
    QFile file;
    if (!file.open(opened.fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(opened.fd);
        return {{}, file.errorString()};
    }
    // A second guard: every allocation the decoders make through Qt stays under the limit.
    QImageReader::setAllocationLimit(kPictureAllocationLimitMB);
    QImageReader reader(&file);
    // Turned by hand below, without a second copy of the picture.
    reader.setAutoTransform(false);
    if (!reader.canRead())
        return {{}, reader.errorString()};
    const QByteArray format = reader.format();
    const QImage::Format pixelFormat = reader.imageFormat();
    const int bits = bitsPerPixel(pixelFormat);
    const QImageIOHandler::Transformations how = reader.transformation();
    Bytes bytes(opened.fd);
    const Layout layout = layoutOf(bytes, format);
    // The header's own size first: a GIF's decoder allocates its whole logical screen,
    // which may be far larger than the image Qt reports.
    const QSize declared = layout.declared.isValid() ? layout.declared : reader.size();
    if (declared.isValid()) {
        const double pixels = double(declared.width()) * declared.height();
        const double pixelBytes = pixels * (bits > 0 ? std::max(bits, 8) : 32) / 8;
        const double megabytes = (pixelBytes + layout.workingBytes) / (1024.0 * 1024.0);
        if (megabytes > kPictureAllocationLimitMB)
            return {{}, tr("The image declares %1 x %2 pixels, which would take %3 MB to open, "
                           "more than the %4 MB this program opens.")
                            .arg(declared.width()).arg(declared.height())
                            .arg(qint64(std::ceil(megabytes))).arg(kPictureAllocationLimitMB)};
    }
    if (layout.truncated)
        return {{}, tr("The file ends before the image does: it is truncated or damaged.")};
    QImage image;
    if ((how & QImageIOHandler::TransformationRotate90) && declared.isValid() && (bits == 32 || bits == 8)) {
        image = readTurned(reader, declared, pixelFormat, bits / 8, how);
    } else {
        image = reader.read();
        if (!image.isNull() && how != QImageIOHandler::TransformationNone) {
            if ((image.depth() == 32 || image.depth() == 8) && !(how & QImageIOHandler::TransformationRotate90)) {
                uchar* pixels = image.bits(); // the only reference: no copy
                if (image.depth() == 32)
                    mirrorInPlace<quint32>(pixels, image.width(), image.height(), image.bytesPerLine(),
                                           how & QImageIOHandler::TransformationMirror,
                                           how & QImageIOHandler::TransformationFlip);
                else
                    mirrorInPlace<quint8>(pixels, image.width(), image.height(), image.bytesPerLine(),
                                          how & QImageIOHandler::TransformationMirror,
                                          how & QImageIOHandler::TransformationFlip);
            } else {
                image = transformedCopy(image, how);
            }
        }
    }
    if (image.isNull()) {
        const QString cause = reader.errorString();
        return {{}, cause.isEmpty() ? tr("The image data could not be decoded: the file is damaged.") : cause};
    }
    return {image, {}};
}

QString SavePicture(const forms::Picture& picture, const QString& path)
{
    // A regular file is replaced only once the new one is complete; devices such as
    // /dev/full are written in place; pipes, sockets, disks and folders are refused.
    forms::FileWriter file(path);
    if (const QString cause = file.open(); !cause.isEmpty())
        return cause;
    QImageWriter writer(&file.device(), "bmp");
    errno = 0;
    if (!writer.write(picture))
        return file.writeFailure();
    return file.commit();
}

} // namespace capture
