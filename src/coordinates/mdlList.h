#pragma once

#include <QString>

#include <optional>

class QListWidget;

namespace coordinates {

// Writes every item of List to the file at Path, one per line, each ended by CR LF, in the
// local 8-bit encoding. The old file is replaced only once every line is on disk, so a
// failed save leaves it as it was; a device is written in place and a named pipe, a socket
// or a disk is never replaced. Returns the system's description of what went wrong, or
// nothing on success (every line reached the file).
std::optional<QString> WriteListFile(const QString& Path, const QListWidget& List);

// Writes the list file and tells the user how it went: "List Saved", or
// "An error has occured " followed by the cause.
void SaveList(const QString& Path, const QListWidget& List);

} // namespace coordinates
