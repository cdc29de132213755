#include "forms/NativeFiles.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace forms {
namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("forms::NativeFiles", text);
}

bool exists(const QByteArray& native)
{
    struct stat st;
    return ::lstat(native.constData(), &st) == 0;
}

// The one entry of folder whose decoded name is name, or empty when none or several are.
QByteArray entryNamed(const QByteArray& folder, const QString& name)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return {};
    QByteArray found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (QFile::decodeName(raw) == name) {
            found = raw;
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? found : QByteArray();
}

int openNonBlocking(const QByteArray& native, int flags, mode_t mode = 0)
{
    int fd;
    do
        fd = ::open(native.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

QByteArray folderOf(const QByteArray& native)
{
    const qsizetype slash = native.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : native.left(slash);
}

} // namespace

QByteArray NativeFileName(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    if (!path.contains(QChar::ReplacementCharacter) || exists(encoded))
        return encoded;
    QByteArray native = path.startsWith(QLatin1Char('/')) ? QByteArrayLiteral("/") : QByteArray();
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QByteArray part = QFile::encodeName(parts[i]);
        if (parts[i].contains(QChar::ReplacementCharacter)) {
            const QByteArray candidate = native.isEmpty()       ? part
                                         : native.endsWith('/') ? native + part
                                                                : native + '/' + part;
            if (!exists(candidate)) {
                const QByteArray real = entryNamed(native, parts[i]);
                if (!real.isEmpty())
                    part = real;
            }
        }
        if (!native.isEmpty() && !native.endsWith('/'))
            native += '/';
        native += part;
    }
    if (path.endsWith(QLatin1Char('/')))
        native += '/';
    return native;
}

QString NotAFileReason(unsigned mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return qt_error_string(EISDIR);
    if (S_ISFIFO(mode))
        return tr("It is a named pipe (FIFO), not a file.");
    if (S_ISSOCK(mode))
        return tr("It is a socket, not a file.");
    if (S_ISBLK(mode))
        return tr("It is a disk (a block device), not a file.");
    if (S_ISCHR(mode))
        return tr("It is a device, not a file.");
    return tr("It is not a file.");
}

OpenedFile OpenRegularFile(const QString& path)
{
    if (path.isEmpty())
        return {nullptr, qt_error_string(ENOENT)};
    // O_NONBLOCK: opening a named pipe for reading waits for a writer otherwise.
    const int fd = openNonBlocking(NativeFileName(path), O_RDONLY);
    if (fd < 0)
        return {nullptr, qt_error_string(errno)};
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {nullptr, file->errorString()};
    }
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return {nullptr, qt_error_string(errno)};
    if (!S_ISREG(st.st_mode))
        return {nullptr, NotAFileReason(st.st_mode)};
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return {std::move(file), {}};
}

FileWriter::FileWriter(const QString& path)
    : path_(path)
{
}

FileWriter::~FileWriter()
{
    cancel();
}

QString FileWriter::open()
{
    if (path_.isEmpty())
        return qt_error_string(ENOENT);
    const QByteArray native = NativeFileName(path_);
    struct stat st;
    const bool present = ::stat(native.constData(), &st) == 0;
    if (!present && errno != ENOENT)
        return qt_error_string(errno); // a loop of links, a name too long, no access…
    if (present && S_ISCHR(st.st_mode)) {
        // A device the user may write to (/dev/null, /dev/full): in place, never waiting.
        fd_ = openNonBlocking(native, O_WRONLY);
        if (fd_ < 0)
            return qt_error_string(errno);
        target_ = native;
    } else if (present && !S_ISREG(st.st_mode)) {
        return NotAFileReason(st.st_mode);
    } else {
        target_ = native;
        if (present) {
            // The replacement is a rename, which ignores the old file's mode (and root
            // ignores it anyway), so a file that nobody may write is refused here.
            if (::access(native.constData(), W_OK) != 0 || !(st.st_mode & 0222))
                return qt_error_string(EACCES);
            // Through a link: the file it points to is replaced, the link stays.
            if (char* real = ::realpath(native.constData(), nullptr)) {
                target_ = real;
                ::free(real);
            }
        } else {
            struct stat link;
            if (::lstat(native.constData(), &link) == 0)
                return qt_error_string(ENOENT); // a link to nowhere: do not replace it
        }
        const QByteArray folder = folderOf(target_);
        const QByteArray base = target_.mid(target_.lastIndexOf('/') + 1);
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            temporary_ = folder + "/." + base + '.'
                         + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            // 0666 less the umask, as any new file; an old file's own mode below.
            fd_ = openNonBlocking(temporary_, O_WRONLY | O_CREAT | O_EXCL, 0666);
            if (fd_ < 0 && errno != EEXIST) {
                temporary_.clear();
                return qt_error_string(errno);
            }
        }
        if (fd_ < 0) {
            temporary_.clear();
            return qt_error_string(EEXIST);
        }
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        if (present) {
            ::fchmod(fd_, st.st_mode & 07777);
            if (::geteuid() == 0 && ::fchown(fd_, st.st_uid, st.st_gid) != 0) {
                // The copy stays root's; the contents are what matters.
            }
        }
    }
    if (!file_.open(fd_, QIODevice::WriteOnly | QIODevice::Unbuffered,
                    QFileDevice::DontCloseHandle)) {
        const QString cause = file_.errorString();
        cancel();
        return cause;
    }
    return {};
}

QString FileWriter::writeFailure() const
{
    if (file_.error() != QFileDevice::NoError)
        return file_.errorString();
    return errno != 0 ? qt_error_string(errno) : tr("The data could not be written.");
}

QString FileWriter::commit()
{
    if (fd_ < 0)
        return qt_error_string(EBADF);
    file_.close();
    if (temporary_.isEmpty()) {
        // A device written in place: what it refused was reported by the writes.
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 || errno == EINTR ? QString() : qt_error_string(errno);
    }
    // The new copy reaches the disk before it takes the old file's name.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        const QString cause = qt_error_string(errno);
        cancel();
        return cause;
    }
    if (::close(fd_) != 0 && errno != EINTR) {
        fd_ = -1;
        const QString cause = qt_error_string(errno);
        cancel();
        return cause;
    }
    fd_ = -1;
    if (::rename(temporary_.constData(), target_.constData()) != 0) {
        const QString cause = qt_error_string(errno);
        cancel();
        return cause;
    }
    temporary_.clear();
    return {};
}

void FileWriter::cancel()
{
    if (file_.isOpen())
        file_.close();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
}

} // namespace forms
