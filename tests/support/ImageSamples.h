#pragma once

// Pictures and image files the capture tests make themselves.

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QtEndian>

inline QImage sample(int width = 90, int height = 70)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), QColor(240, 240, 240));
    p.fillRect(10, 10, 30, 20, QColor(200, 20, 20));
    p.fillRect(50, 30, 30, 30, QColor(20, 20, 200));
    p.setPen(Qt::black);
    p.drawLine(0, height - 1, width - 1, 0);
    return image;
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A bitmap header that declares width x height pixels of 24 bits, with no pixel data.
inline QByteArray bitmapHeader(qint32 width, qint32 height)
{
    QByteArray header(54, '\0');
    uchar* h = reinterpret_cast<uchar*>(header.data());
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(54 + 16, h + 2);
    qToLittleEndian<quint32>(54, h + 10);
    qToLittleEndian<quint32>(40, h + 14);
    qToLittleEndian<qint32>(width, h + 18);
    qToLittleEndian<qint32>(height, h + 22);
    qToLittleEndian<quint16>(1, h + 26);
    qToLittleEndian<quint16>(24, h + 28);
    return header + QByteArray(16, '\x7f');
}

inline QImage asRgb(const QImage& image)
{
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    rgb.setDevicePixelRatio(1);
    return rgb;
}

// A GIF file of an image with at most 256 colours, where colour index transparent (if
// any) is see-through. Qt reads GIF but does not write it; a clear code every few hundred
// pixels keeps every LZW code at 9 bits.
inline QByteArray gifOf(const QImage& source, int transparent = -1)
{
    const QImage image
        = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QByteArray out("GIF89a");
    const auto u16 = [&out](int v) { out.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    u16(image.width());
    u16(image.height());
    out.append(char(0xf7)).append('\0').append('\0'); // global table of 256 entries
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < image.colorCount() ? image.color(i) : qRgb(0, 0, 0);
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    if (transparent >= 0) // graphic control extension: a transparent colour index
        out.append("\x21\xf9\x04\x01\x00\x00", 6).append(char(transparent)).append('\0');
    out.append(',');
    u16(0);
    u16(0);
    u16(image.width());
    u16(image.height());
    out.append('\0').append(char(8)); // no local table; minimum code size 8
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= quint32(code) << count;
        count += 9;
        while (count >= 8) {
            data.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    };
    int run = 0;
    put(256);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (run == 250) {
                put(256);
                run = 0;
            }
            put(image.pixelIndex(x, y));
            ++run;
        }
    }
    put(257);
    if (count > 0)
        data.append(char(bits & 0xff));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size())).append(block);
    }
    out.append('\0').append(';');
    return out;
}
