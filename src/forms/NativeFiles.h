#pragma once

// Files by the names the file system really uses, opened and replaced without ever
// blocking on a named pipe or a device, with the system's own words for what went wrong.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace forms {

// The bytes the file system knows path by. Qt decodes a name that is not valid UTF-8 with
// U+FFFD in place of each odd byte, and those no longer name the file; a component like
// that which does not exist as written is matched against its folder's real entries, and
// the one entry it stands for is used byte for byte.
QByteArray NativeFileName(const QString& path);

// Why something that exists with this st_mode cannot be read or replaced as a file;
// empty for a regular file.
QString NotAFileReason(unsigned mode);

// A regular file opened for reading, or the cause; never blocks (a named pipe is refused
// at once). The file closes its descriptor when it goes.
struct OpenedFile {
    std::unique_ptr<QFile> file; // null on failure
    QString error;
};
OpenedFile OpenRegularFile(const QString& path);

// Writes a file at path. An existing regular file (or the file a link points to) is
// replaced only by commit(), once everything is written, keeping its mode; a device such
// as /dev/full is written in place; a folder, a named pipe, a socket or a disk is refused.
class FileWriter {
public:
    explicit FileWriter(const QString& path);
    ~FileWriter(); // drops what was not committed
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Gets ready to write: an empty string, or the cause.
    QString open();
    // Where to write; writes go straight to the system (no buffer to flush late).
    QIODevice& device() { return file_; }
    // The cause of the write that just failed.
    QString writeFailure() const;
    // Makes the written bytes the file: an empty string, or the cause (nothing replaced).
    QString commit();

private:
    void cancel();
    QString path_;
    QByteArray target_; // what is replaced or written
    QByteArray temporary_; // the new copy, when replacing
    int fd_ = -1;
    QFile file_;
};

} // namespace forms
