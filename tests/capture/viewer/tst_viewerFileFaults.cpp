// The viewer's Open and Save As through the real file dialogs on special paths: a named
// pipe answers at once and stays a pipe, a device, a loop of links, a name too long, no
// permission and a full disk each give their own cause next to the file's name, and a
// name that is not UTF-8 opens and is replaced byte for byte.

#include "ImageSamples.h"
#include "ViewerSupport.h"

#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using capture::frmScreenCapture;
using namespace testsupport;

namespace {

bool writeRaw(const QByteArray& name, const QByteArray& bytes)
{
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
    return ::close(fd) == 0 && written;
}

QByteArray readRaw(const QByteArray& name)
{
    QFile file;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    return file.readAll();
}

QByteArray bitmapOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

bool isFifo(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

} // namespace

class tst_viewerFileFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void open_data();
    void open();
    void saveAs_data();
    void saveAs();

private:
    // Runs the command through its real dialog, typing path; returns the message shown.
    std::shared_ptr<BoxSeen> run(void (frmScreenCapture::*command)(), const QString& path);
    // Makes the path a row names; empty when the row cannot run here.
    QString prepare(const QString& kind, bool forSaving);

    frmScreenCapture* viewer_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray raw_; // the real bytes of a name that is not UTF-8
    QString mountPoint_;
    QString skipReason_;
};

void tst_viewerFileFaults::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    viewer_ = &frmScreenCapture::instance();
    viewer_->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer_));
    // A known picture to keep or to save, larger than the small disk holds.
    const QString good = dir_->filePath("good.bmp");
    QVERIFY(sample(300, 200).save(good, "BMP"));
    const auto box = run(&frmScreenCapture::mnuOpen_Click, good);
    QVERIFY(!box->shown);
}

void tst_viewerFileFaults::cleanup()
{
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
    viewer_ = nullptr;
    if (!raw_.isEmpty())
        ::unlink(raw_.constData()); // Qt cannot remove what it cannot name
    raw_.clear();
    if (!mountPoint_.isEmpty())
        QProcess::execute(QStringLiteral("umount"), {mountPoint_});
    mountPoint_.clear();
    dir_.reset();
}

std::shared_ptr<BoxSeen> tst_viewerFileFaults::run(void (frmScreenCapture::*command)(),
                                                   const QString& path)
{
    auto box = expectMessageBox();
    const auto watch
        = whenModal<QFileDialog>([path](QFileDialog* dialog) { choose(dialog, path); });
    (viewer_->*command)();
    box->watch.reset();
    return box;
}

QString tst_viewerFileFaults::prepare(const QString& kind, bool forSaving)
{
    const QString path = dir_->filePath(kind + ".bmp");
    if (kind == "fifo") {
        if (::mkfifo(QFile::encodeName(path).constData(), 0666) != 0)
            return {};
    } else if (kind == "zero" || kind == "full") {
        return "/dev/" + kind;
    } else if (kind == "loop") {
        QFile::link(dir_->filePath("loop-b"), path);
        QFile::link(path, dir_->filePath("loop-b"));
    } else if (kind == "long") {
        return dir_->filePath(QString(300, QLatin1Char('n')) + ".bmp");
    } else if (kind == "unreadable") {
        writeBytes(path, bitmapOf(sample(40, 30)));
        QFile::setPermissions(path, QFile::WriteOwner);
        if (::access(QFile::encodeName(path).constData(), R_OK) == 0)
            skipReason_ = "this user (root) reads files without read permission; "
                          "tst_imageFiles checks it as user nobody";
    } else if (kind == "latin1") {
        raw_ = QFile::encodeName(dir_->path()) + "/photo-\xe9t\xe9.bmp";
        if (!writeRaw(raw_, forSaving ? QByteArray("old") : bitmapOf(sample(40, 30))))
            return {};
        // What the dialog lists: Qt's decoding, U+FFFD for each odd byte.
        return QFile::decodeName(raw_);
    } else if (kind == "tmpfs") {
        if (::geteuid() != 0) {
            skipReason_ = "making a full filesystem needs a tmpfs mount, which needs root";
            return path;
        }
        mountPoint_ = dir_->filePath("small");
        QDir().mkdir(mountPoint_);
        if (QProcess::execute(QStringLiteral("mount"),
                              {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint_})
            != 0) {
            skipReason_ = "cannot mount a small tmpfs here";
            mountPoint_.clear();
            return path;
        }
        writeBytes(mountPoint_ + "/shot.bmp", "old");
        return mountPoint_ + "/shot.bmp";
    }
    return path;
}

void tst_viewerFileFaults::open_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause"); // empty: the picture opens
    QTest::newRow("named-pipe") << "fifo"
                                << "named pipe";
    QTest::newRow("device") << "zero"
                            << "device";
    QTest::newRow("loop-of-links") << "loop" << qt_error_string(ELOOP);
    QTest::newRow("name-too-long") << "long" << qt_error_string(ENAMETOOLONG);
    QTest::newRow("no-permission") << "unreadable" << qt_error_string(EACCES);
    QTest::newRow("name-not-utf8") << "latin1" << QString();
}

void tst_viewerFileFaults::open()
{
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    const QString path = prepare(kind, false);
    QVERIFY(!path.isEmpty());
    if (!skipReason_.isEmpty())
        QSKIP(qPrintable(std::exchange(skipReason_, QString())));
    const qint64 before = viewer_->picture().cacheKey();
    QElapsedTimer clock;
    clock.start();
    const auto box = run(&frmScreenCapture::mnuOpen_Click, path);
    QVERIFY2(clock.elapsed() < 5000, "the command did not answer at once");
    if (cause.isEmpty()) {
        QVERIFY2(!box->shown, qPrintable(box->text));
        QCOMPARE(viewer_->picture().size(), QSize(40, 30));
        return;
    }
    QVERIFY(box->shown);
    QVERIFY2(box->text.contains(QDir::toNativeSeparators(path)), qPrintable(box->text));
    QVERIFY2(box->text.contains(cause), qPrintable(box->text));
    QCOMPARE(viewer_->picture().cacheKey(), before);
    if (kind == "fifo")
        QVERIFY(isFifo(path));
}

void tst_viewerFileFaults::saveAs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause"); // empty: saved
    QTest::newRow("named-pipe") << "fifo"
                                << "named pipe";
    QTest::newRow("full-device") << "full" << qt_error_string(ENOSPC);
    QTest::newRow("full-disk") << "tmpfs" << qt_error_string(ENOSPC);
    QTest::newRow("loop-of-links") << "loop" << qt_error_string(ELOOP);
    QTest::newRow("name-too-long") << "long" << qt_error_string(ENAMETOOLONG);
    QTest::newRow("name-not-utf8") << "latin1" << QString();
}

void tst_viewerFileFaults::saveAs()
{
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    const QString path = prepare(kind, true);
    QVERIFY(!path.isEmpty());
    if (!skipReason_.isEmpty())
        QSKIP(qPrintable(std::exchange(skipReason_, QString())));
    const QString folder = kind == "tmpfs" ? mountPoint_ : dir_->path();
    const QStringList before
        = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    QElapsedTimer clock;
    clock.start();
    const auto box = run(&frmScreenCapture::mnuSave_Click, path);
    QVERIFY2(clock.elapsed() < 5000, "the command did not answer at once");
    if (cause.isEmpty()) {
        QVERIFY2(!box->shown, qPrintable(box->text));
    } else {
        QVERIFY(box->shown);
        QVERIFY2(box->text.contains(QDir::toNativeSeparators(path)), qPrintable(box->text));
        QVERIFY2(box->text.contains(cause), qPrintable(box->text));
    }
    // Nothing new beside the target, no left-over copy.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    if (kind == "fifo")
        QVERIFY(isFifo(path));
    if (kind == "tmpfs")
        QCOMPARE(readRaw(QFile::encodeName(path)), QByteArray("old"));
    if (kind == "latin1")
        QCOMPARE(QImage::fromData(readRaw(raw_), "BMP").size(), QSize(300, 200));
}

QTEST_MAIN(tst_viewerFileFaults)
#include "tst_viewerFileFaults.moc"
