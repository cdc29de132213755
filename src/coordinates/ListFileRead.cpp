#include "coordinates/ListFileRead.h"

#include "forms/NativeFiles.h"

namespace coordinates {
namespace {

QString tooLarge()
{
    return QStringLiteral("It is larger than 1 MB, longer than any coordinate list.");
}

} // namespace

ListFileText ReadListFile(const QString& path)
{
    // A named pipe or a device is refused before anything is read from it.
    const forms::OpenedFile opened = forms::OpenRegularFile(path);
    if (!opened.file)
        return {QString(), opened.error};
    if (opened.file->size() > kMaxListFileBytes)
        return {QString(), tooLarge()};
    // Read one byte more than allowed, in case the file grew since it was measured.
    const QByteArray bytes = opened.file->read(kMaxListFileBytes + 1);
    if (opened.file->error() != QFileDevice::NoError)
        return {QString(), opened.file->errorString()};
    if (bytes.size() > kMaxListFileBytes)
        return {QString(), tooLarge()};
    return {QString::fromLocal8Bit(bytes), QString()};
}

} // namespace coordinates
