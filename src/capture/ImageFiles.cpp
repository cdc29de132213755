#include "capture/ImageFiles.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace capture {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("capture::ImageFiles", text);
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
    QImage image = reader.read();
    if (image.isNull())
        return {{}, reader.errorString()};
    return {image, {}};
}

QString SavePicture(const forms::Picture& picture, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture)) {
        const QString reason = writer.error() == QImageWriter::DeviceError && !file.errorString().isEmpty()
            ? file.errorString()
            : writer.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace capture
