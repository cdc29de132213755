#include "coordinates/mdlList.h"

#include "forms/MsgBox.h"

#include <QFileInfo>
#include <QListWidget>
#include <QSaveFile>

#include <cerrno>

namespace coordinates {
namespace {

// The replacement is a rename, which ignores the old file's mode (and root ignores it
// anyway), so a file that nobody may write has to be refused here.
bool mayReplace(const QFileInfo& target)
{
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return target.isWritable() && (target.permissions() & anyWrite);
}

// Drops the unfinished copy, so the old file stays as it was, and says why it failed.
QString abandon(QSaveFile& file)
{
    // After a failed write the device's own text is often generic; errno, cleared before
    // the call, still names the cause.
    const int cause = errno;
    const QString description = cause != 0 ? qt_error_string(cause) : file.errorString();
    file.cancelWriting();
    return description;
}

} // namespace

std::optional<QString> WriteListFile(const QString& Path, const QListWidget& List)
{
    if (Path.isEmpty())
        return qt_error_string(ENOENT);
    const QFileInfo target(Path);
    if (target.isDir())
        return qt_error_string(EISDIR);
    if (target.exists() && !mayReplace(target))
        return qt_error_string(EACCES);

    QSaveFile file(Path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // The count is read afresh for each line, as the list is the caller's.
    for (int i = 0; i != List.count(); ++i) {
        const QByteArray line = List.item(i)->text().toLocal8Bit() + "\r\n";
        errno = 0;
        if (file.write(line) != line.size())
            return abandon(file);
    }
    // commit() flushes too, but it goes on to replace the old file even when that flush
    // fails, leaving a short file behind; so the last lines must be on disk first.
    errno = 0;
    if (!file.flush())
        return abandon(file);
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

void SaveList(const QString& Path, const QListWidget& List)
{
    if (const std::optional<QString> error = WriteListFile(Path, List))
        forms::MsgBox(QStringLiteral("An error has occured ") + *error, forms::vbOKOnly);
    else
        forms::MsgBox(QStringLiteral("List Saved"), forms::vbOKOnly);
}

} // namespace coordinates
