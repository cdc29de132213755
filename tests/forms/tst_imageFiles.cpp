// The viewer's file loading against hostile files, each opened in a child process of its
// own: a corpus the test makes itself (truncations, byte flips, absurd headers, trailing
// bytes, decompression bombs, turned photos) and the paths the file dialog cannot hand
// over (a folder, a missing file, a file this user may not read). Every file ends in a
// picture or a cause; nothing crashes, hangs or takes more memory at peak than about 1.3
// times the picture it opens (the high-water mark of resident memory, /proc VmHWM).

#include "ImageSamples.h"

#include "forms/ImageFiles.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true; // the sanitizer's shadow memory and quarantine count too
#else
constexpr bool kSanitized = false;
#endif

namespace {

constexpr double kBound = 1.3; // peak growth / picture size
constexpr qint64 kSlack = 6 * 1024 * 1024; // decoder tables, plugin state, allocator pages

enum class Expect { Picture, Message, Either };

// What one child process made of a file.
struct Outcome {
    bool finished = false; // false: killed after the time bound, or crashed
    QString crash;
    bool picture = false;
    QSize size;
    qint64 pictureBytes = 0;
    qint64 peakGrowth = 0; // high-water mark of resident memory, less where it started
    QString message;
    QImage image; // small pictures only, to compare
};

qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Runs work in a forked child (as user nobody when asked) and reads what it wrote back.
QByteArray inChild(const std::function<QByteArray()>& work, bool asNobody, int boundMs,
                   QString* crash)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (asNobody
            && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        const QByteArray out = work();
        for (qsizetype at = 0; at < out.size();) {
            const ssize_t wrote = ::write(pipeFds[1], out.constData() + at, out.size() - at);
            if (wrote <= 0)
                break;
            at += wrote;
        }
        ::_exit(0); // no exit handlers: the parent's state is not the child's to tear down
    }
    ::close(pipeFds[1]);
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    bool timedOut = false;
    for (;;) {
        const qint64 left = boundMs - clock.elapsed();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd poller {pipeFds[0], POLLIN, 0};
        if (::poll(&poller, 1, int(left)) <= 0)
            continue;
        char chunk[65536];
        const ssize_t got = ::read(pipeFds[0], chunk, sizeof chunk);
        if (got <= 0)
            break;
        out.append(chunk, got);
    }
    ::close(pipeFds[0]);
    if (timedOut)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (timedOut)
        *crash = QStringLiteral("no answer within %1 ms").arg(boundMs);
    else if (WIFSIGNALED(status))
        *crash = QStringLiteral("killed by signal %1").arg(WTERMSIG(status));
    else if (WEXITSTATUS(status) != 0)
        *crash = QStringLiteral("exit status %1").arg(WEXITSTATUS(status));
    return out;
}

Outcome loadInChild(const QString& path, bool asNobody = false)
{
    QString crash;
    const QByteArray out = inChild(
        [&path] {
            QFile reset(QStringLiteral("/proc/self/clear_refs"));
            if (reset.open(QIODevice::WriteOnly))
                reset.write("5"); // the high-water mark starts from here
            reset.close();
            const qint64 before = statusKb("VmRSS:");
            const forms::LoadedPicture loaded = forms::LoadPicture(path);
            const qint64 growth = (statusKb("VmHWM:") - before) * 1024;
            QByteArray reply;
            QDataStream stream(&reply, QIODevice::WriteOnly);
            const QImage& image = loaded.picture;
            stream << !image.isNull() << image.size() << qint64(image.sizeInBytes()) << growth
                   << loaded.error
                   << (image.width() * image.height() <= 1000000 ? image : QImage());
            return reply;
        },
        asNobody, kSanitized ? 120000 : 20000, &crash);
    Outcome outcome;
    outcome.crash = crash;
    if (!crash.isEmpty())
        return outcome;
    QDataStream stream(out);
    stream >> outcome.picture >> outcome.size >> outcome.pictureBytes >> outcome.peakGrowth
        >> outcome.message >> outcome.image;
    outcome.finished = stream.status() == QDataStream::Ok;
    return outcome;
}

QByteArray encoded(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

// The offset of a JPEG's frame header (SOF marker).
qsizetype frameHeader(const QByteArray& jpeg)
{
    qsizetype at = 2;
    while (at + 4 < jpeg.size() && uchar(jpeg[at]) == 0xff) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (marker == 0xc0 || marker == 0xc1 || marker == 0xc2)
            return at;
        at += 2 + (uchar(jpeg[at + 2]) << 8 | uchar(jpeg[at + 3]));
    }
    return -1;
}

// The same JPEG declaring another size; its data stays as short as it was.
QByteArray declaring(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = frameHeader(jpeg);
    if (sof < 0)
        return jpeg;
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xff);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xff);
    return jpeg;
}

// The JPEG with an EXIF block saying how the camera was held (1 to 8).
QByteArray withOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01", 24);
    exif.append('\0').append(char(orientation)).append(QByteArray(2 + 4, '\0'));
    QByteArray segment("\xff\xe1");
    segment.append(char((exif.size() + 2) >> 8))
        .append(char((exif.size() + 2) & 0xff))
        .append(exif);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray flipped(QByteArray bytes, quint32 seed)
{
    QRandomGenerator generator(seed);
    for (int i = 0; i < 4; ++i) {
        const qsizetype at = generator.bounded(qsizetype(bytes.size()));
        bytes[at] = char(bytes[at] ^ (1 << generator.bounded(8)));
    }
    return bytes;
}

QByteArray noise(int size, quint32 seed)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(seed);
    for (char& c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 255) / width, (y * 255) / height, (x ^ y) & 0xff);
    }
    return image;
}

// Qt's own reading, turn included: what a photo must look like.
QImage qtReads(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return reader.read();
}

} // namespace

class tst_imageFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void corpus_data();
    void corpus();
    void turnedPhotos_data();
    void turnedPhotos();
    void specialPaths_data();
    void specialPaths();

private:
    QTemporaryDir dir_;
};

void tst_imageFiles::initTestCase()
{
    QVERIFY(dir_.isValid());
    // Everyone may enter (for the rows read as user nobody).
    QVERIFY(QFile::setPermissions(dir_.path(), QFile::Permissions(0x7755)));
    // The image plugins load once, here, and not in each child's measurement.
    for (const char* format : {"jpeg", "gif", "bmp"}) {
        const QString path = dir_.filePath(QStringLiteral("warm.") + QLatin1String(format));
        writeBytes(path, qstrcmp(format, "gif") == 0 ? gifOf(sample()) : encoded(sample(), format));
        QVERIFY(forms::LoadPicture(path).error.isEmpty());
    }
}

void tst_imageFiles::corpus_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expect");
    QTest::addColumn<QString>("cause"); // part of the message, when one is expected
    QTest::addColumn<qint64>("working"); // what the decoder must hold besides the picture

    const QImage picture = photo(300, 200);
    const QByteArray bmp = encoded(picture, "bmp");
    const QByteArray jpeg = encoded(picture, "jpeg");
    const QByteArray progressive = encoded(picture, "jpeg", true);
    const QByteArray gif = gifOf(sample(300, 200));
    const QString truncated = QStringLiteral("truncated");
    const struct {
        const char* name;
        QByteArray bytes;
    } valid[] = {{"bmp", bmp}, {"jpeg", jpeg}, {"progressive-jpeg", progressive}, {"gif", gif}};

    const auto row = [](const QString& name, const QByteArray& bytes, Expect expect,
                        const QString& cause = {}, qint64 working = 0) {
        QTest::newRow(qPrintable(name)) << bytes << int(expect) << cause << working;
    };
    for (const auto& file : valid) {
        const QString name = QLatin1String(file.name);
        row(name, file.bytes, Expect::Picture);
        // Cameras and phones append data after the image.
        row(name + "+trailing-bytes", file.bytes + noise(300, 1), Expect::Picture);
        row(name + "+zeros", file.bytes + QByteArray(4096, '\0'), Expect::Picture);
        row(name + "-half", file.bytes.left(file.bytes.size() / 2), Expect::Message, truncated);
        row(name + "-header-only", file.bytes.left(20), Expect::Message);
        for (quint32 seed = 1; seed <= 6; ++seed)
            row(name + "-flips-" + QString::number(seed), flipped(file.bytes, seed),
                Expect::Either);
    }
    row("jpeg-without-end-marker", jpeg.left(jpeg.size() - 2), Expect::Message, truncated);
    row("bmp-one-byte-short", bmp.left(bmp.size() - 1), Expect::Message, truncated);
    row("empty", QByteArray(), Expect::Message);
    row("noise", noise(5000, 9), Expect::Message);

    // Absurd headers and bombs: a few kilobytes that declare gigabytes.
    row("bmp-200000x200000", bitmapHeader(200000, 200000), Expect::Message, "200000 x 200000");
    row("jpeg-60000x60000", declaring(jpeg, 60000, 60000), Expect::Message, "60000 x 60000");
    QByteArray hugeGif = gif;
    hugeGif[6] = hugeGif[7] = hugeGif[8] = hugeGif[9] = char(0xff);
    row("gif-65535x65535", hugeGif, Expect::Message, "65535 x 65535");
    // Fits the limit as a picture but has data for a tiny part of it: refused unread.
    row("jpeg-bomb-16000x16000", declaring(jpeg, 16000, 16000), Expect::Message, truncated);
    row("turned-jpeg-bomb-16000x16000", withOrientation(declaring(jpeg, 16000, 16000), 6),
        Expect::Message, truncated);
    // A progressive file also needs all its coefficients at once: beyond the limit.
    row("progressive-bomb-16000x16000", declaring(progressive, 16000, 16000), Expect::Message,
        "16000 x 16000");
    // A small image on a large GIF screen is a picture of the screen's size.
    QByteArray wideGif = gif;
    wideGif[6] = char(4000 & 0xff);
    wideGif[7] = char(4000 >> 8);
    wideGif[8] = char(3000 & 0xff);
    wideGif[9] = char(3000 >> 8);
    row("gif-small-image-on-4000x3000-screen", wideGif, Expect::Picture);
    row("bmp-4000x3000", encoded(photo(4000, 3000), "bmp"), Expect::Picture);
    row("jpeg-4000x3000", encoded(photo(4000, 3000), "jpeg"), Expect::Picture);
    // libjpeg holds every coefficient of a progressive file until its last scan: two bytes
    // a sample, 1.5 samples a pixel at Qt's 4:2:0, on top of the picture.
    row("progressive-jpeg-4000x3000", encoded(photo(4000, 3000), "jpeg", true), Expect::Picture, {},
        qint64(4000) * 3000 * 3);
    row("turned-jpeg-4000x3000", withOrientation(encoded(photo(4000, 3000), "jpeg"), 6),
        Expect::Picture);
}

void tst_imageFiles::corpus()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expect);
    QFETCH(QString, cause);
    QFETCH(qint64, working);
    const QString path = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()));
    writeBytes(path, bytes);
    const Outcome outcome = loadInChild(path);
    QVERIFY2(outcome.finished, qPrintable(outcome.crash));
    if (outcome.picture) {
        QVERIFY2(expect != int(Expect::Message), "a picture where a message was expected");
        QVERIFY(outcome.message.isEmpty());
    } else {
        QVERIFY2(expect != int(Expect::Picture), qPrintable(outcome.message));
        QVERIFY(!outcome.message.trimmed().isEmpty());
        QVERIFY2(outcome.message.contains(cause), qPrintable(outcome.message));
    }
    const qint64 allowed = qint64(kBound * outcome.pictureBytes) + working + kSlack;
    const QString memory = QStringLiteral("peak %1 kB for a picture of %2 kB")
                               .arg(outcome.peakGrowth / 1024)
                               .arg(outcome.pictureBytes / 1024);
    if (outcome.peakGrowth > kSlack || outcome.pictureBytes > kSlack)
        qInfo("%s", qPrintable(memory));
    if (!kSanitized) // under the sanitizers their shadow memory and quarantine count too
        QVERIFY2(outcome.peakGrowth <= allowed, qPrintable(memory));
}

void tst_imageFiles::turnedPhotos_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("grey"); // one byte a pixel, rows padded in Qt's own layout
    for (int orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("exif-%d", orientation) << orientation << false;
    for (int orientation : {3, 5, 6})
        QTest::addRow("grey-exif-%d", orientation) << orientation << true;
}

// Every EXIF orientation comes out as Qt itself would turn it, without a second copy.
void tst_imageFiles::turnedPhotos()
{
    QFETCH(int, orientation);
    QFETCH(bool, grey);
    const QImage picture
        = grey ? photo(301, 203).convertToFormat(QImage::Format_Grayscale8) : photo(301, 203);
    const QByteArray bytes = withOrientation(encoded(picture, "jpeg"), orientation);
    const QString path = dir_.filePath(QStringLiteral("turned-%1.jpg").arg(orientation));
    writeBytes(path, bytes);
    const Outcome outcome = loadInChild(path);
    QVERIFY2(outcome.finished, qPrintable(outcome.crash));
    QVERIFY2(outcome.picture, qPrintable(outcome.message));
    const QImage expected = qtReads(bytes);
    QCOMPARE(outcome.size, expected.size());
    QCOMPARE(outcome.image.format(), expected.format());
    QCOMPARE(outcome.image.convertToFormat(QImage::Format_RGB32),
             expected.convertToFormat(QImage::Format_RGB32));
}

void tst_imageFiles::specialPaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause"); // part of the message
    // The rest (a pipe, a device, a loop, a long name, a name that is not UTF-8) goes
    // through the real dialogs in tst_viewerFileFaults.
    QTest::newRow("folder") << "folder" << qt_error_string(EISDIR);
    QTest::newRow("missing") << "missing" << qt_error_string(ENOENT);
    QTest::newRow("no-permission") << "unreadable" << qt_error_string(EACCES);
}

// Opening: a special path answers at once with its own cause.
void tst_imageFiles::specialPaths()
{
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    QString path = dir_.filePath(kind + ".bmp");
    bool asNobody = false;
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "unreadable") {
        writeBytes(path, encoded(sample(), "bmp"));
        QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        asNobody = ::geteuid() == 0; // root reads anything: ask as an ordinary user
        if (!asNobody && ::access(QFile::encodeName(path).constData(), R_OK) == 0)
            QSKIP("this user reads files without read permission");
    }
    QElapsedTimer clock;
    clock.start();
    const Outcome outcome = loadInChild(path, asNobody);
    QVERIFY2(outcome.finished, qPrintable(outcome.crash));
    QVERIFY2(clock.elapsed() < 5000, "answered late");
    QVERIFY(!outcome.picture);
    QVERIFY2(outcome.message.contains(cause), qPrintable(outcome.message));
}

QTEST_MAIN(tst_imageFiles)
#include "tst_imageFiles.moc"
