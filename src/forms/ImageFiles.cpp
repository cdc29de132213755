#include "forms/ImageFiles.h"

#include "forms/ImageLayout.h"
#include "forms/ImageOrientation.h"
#include "forms/NativeFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace forms {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("capture::ImageFiles", text);
}

int bitsPerPixel(QImage::Format format)
{
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return 0;
    return QImage::toPixelFormat(format).bitsPerPixel();
}

} // namespace

LoadedPicture LoadPicture(const QString& path)
{
    const forms::OpenedFile opened = forms::OpenRegularFile(path);
    if (!opened.file)
        return {{}, opened.error};
    QFile& file = *opened.file;
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
    const Layout layout = ReadImageLayout(file.handle(), format);
    // The header's own size first: a GIF's decoder allocates its whole logical screen,
    // which may be far larger than the image Qt reports.
    const QSize declared = layout.declared.isValid() ? layout.declared : reader.size();
    if (declared.isValid()) {
        const double pixels = double(declared.width()) * declared.height();
        const double pixelBytes = pixels * (bits > 0 ? std::max(bits, 8) : 32) / 8;
        const double megabytes = (pixelBytes + layout.workingBytes) / (1024.0 * 1024.0);
        if (megabytes > kPictureAllocationLimitMB)
            return {{},
                    tr("The image declares %1 x %2 pixels, which would take %3 MB to open, "
                       "more than the %4 MB this program opens.")
                        .arg(declared.width())
                        .arg(declared.height())
                        .arg(qint64(std::ceil(megabytes)))
                        .arg(kPictureAllocationLimitMB)};
    }
    if (layout.truncated)
        return {{}, tr("The file ends before the image does: it is truncated or damaged.")};
    const QImage image = ReadOriented(reader, declared, pixelFormat, bits, how);
    if (image.isNull()) {
        const QString cause = reader.errorString();
        return {{},
                cause.isEmpty() ? tr("The image data could not be decoded: the file is damaged.")
                                : cause};
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

} // namespace forms
