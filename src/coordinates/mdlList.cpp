#include "coordinates/mdlList.h"

#include "forms/MsgBox.h"
#include "forms/NativeFiles.h"

#include <QListWidget>

#include <cerrno>

namespace coordinates {

std::optional<QString> WriteListFile(const QString& Path, const QListWidget& List)
{
    // A new copy takes the old file's place only once every line is in it; a device is
    // written in place; a folder, a named pipe or a read-only file is refused untouched.
    forms::FileWriter file(Path);
    if (const QString cause = file.open(); !cause.isEmpty())
        return cause;
    // The count is read afresh for each line, as the list is the caller's.
    for (int i = 0; i != List.count(); ++i) {
        const QByteArray line = List.item(i)->text().toLocal8Bit() + "\r\n";
        errno = 0;
        if (file.device().write(line) != line.size())
            return file.writeFailure();
    }
    if (const QString cause = file.commit(); !cause.isEmpty())
        return cause;
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
