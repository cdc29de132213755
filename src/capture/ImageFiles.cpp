#include "capture/ImageFiles.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace capture {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("capture::ImageFiles", text);
}

// Qt's decoders fill in what a cut-off file lacks and report success. For the formats
// Open offers, the file's own structure says whether it ends where it should.
bool endsEarly(const QString& path, const QByteArray& format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (format == "bmp") {
        const QByteArray header = file.read(54);
        if (header.size() < 54)
            return true;
        const auto* h = reinterpret_cast<const uchar*>(header.constData());
        const quint32 headerSize = qFromLittleEndian<quint32>(h + 14);
        if (headerSize < 40)
            return false; // old OS/2 layout: leave it to the decoder
        const quint32 offset = qFromLittleEndian<quint32>(h + 10);
        const qint64 width = qFromLittleEndian<qint32>(h + 18);
        const qint64 height = std::abs(qint64(qFromLittleEndian<qint32>(h + 22)));
        const quint16 bits = qFromLittleEndian<quint16>(h + 28);
        const quint32 compression = qFromLittleEndian<quint32>(h + 30);
        if (compression != 0 && compression != 3)
            return false; // run-length data has no fixed size
        const qint64 stride = (width * bits + 31) / 32 * 4;
        return size < qint64(offset) + stride * height;
    }
    if (format == "jpeg" || format == "jpg") {
        // The end-of-image marker closes every complete file (trailing padding aside).
        file.seek(std::max<qint64>(0, size - 64));
        return !file.readAll().contains("\xff\xd9");
    }
    if (format == "gif") {
        file.seek(std::max<qint64>(0, size - 16));
        const QByteArray tail = file.readAll();
        qsizetype last = tail.size() - 1;
        while (last >= 0 && tail.at(last) == '\0')
            --last;
        return last < 0 || tail.at(last) != 0x3b; // the trailer byte
    }
    return false;
}

} // namespace

LoadedPicture LoadPicture(const QString& path)
{
    QImageReader::setAllocationLimit(kPictureAllocationLimitMB);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {{}, reader.errorString()};
    const QSize declared = reader.size();
    if (declared.isValid()) {
        const double megabytes = double(declared.width()) * declared.height() * 4 / (1024.0 * 1024.0);
        if (megabytes > kPictureAllocationLimitMB)
            return {{}, tr("The image declares %1 x %2 pixels, more than the %3 MB this program opens.")
                            .arg(declared.width()).arg(declared.height()).arg(kPictureAllocationLimitMB)};
    }
    const QByteArray format = reader.format();
    QImage image = reader.read();
    if (image.isNull())
        return {{}, reader.errorString()};
    if (endsEarly(path, format))
        return {{}, tr("The file ends before the image does: it is truncated or damaged.")};
    return {image, {}};
}

namespace {

// Devices and pipes are written in place: replacing them with a file would be wrong.
QString writeInPlace(const forms::Picture& picture, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture))
        return file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    if (!file.flush())
        return file.errorString();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

} // namespace

QString SavePicture(const forms::Picture& picture, const QString& path)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeInPlace(picture, path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture)) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace capture
