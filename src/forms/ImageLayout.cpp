// What an image file's own structure says before a pixel is decoded: whether the image
// data is complete, the size the header declares and what the decoder will allocate.
#include "forms/ImageLayout.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <unistd.h>

namespace forms {
namespace {

// Reads a file by position without moving the reader's own position.
class Bytes {
public:
    explicit Bytes(int fd)
        : fd_(fd)
    {
        const off_t position = ::lseek(fd, 0, SEEK_CUR);
        size_ = ::lseek(fd, 0, SEEK_END);
        ::lseek(fd, position, SEEK_SET);
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
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8
            && marker != 0xcc) {
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

} // namespace

Layout ReadImageLayout(int fd, const QByteArray& format)
{
    Bytes bytes(fd);
    if (format == "jpeg" || format == "jpg")
        return jpegLayout(bytes);
    if (format == "gif")
        return gifLayout(bytes);
    if (format == "bmp")
        return bmpLayout(bytes);
    return {};
}

} // namespace forms
