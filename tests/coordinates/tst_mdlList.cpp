#include "coordinates/mdlList.h"

#include "ModalDialogs.h"

#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

using namespace testsupport;

using coordinates::SaveList;

namespace {

constexpr QFile::Permissions kReadOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}

// Saves list to path through the real message box and returns what it said.
SeenMessageBox saveAndRead(const QString& path, const QListWidget& list)
{
    const std::vector<SeenMessageBox> boxes = catchMessageBoxes([&] { SaveList(path, list); });
    if (boxes.size() != 1)
        return {QStringLiteral("%1 message boxes").arg(boxes.size()), {}, {}, {}};
    return boxes.front();
}

void fill(QListWidget& list, const QStringList& items)
{
    list.clear();
    list.addItems(items);
}

} // namespace

class tst_mdlList : public QObject {
    Q_OBJECT
private slots:
    void writesEveryLine_data();
    void writesEveryLine();
    void keepsModes();
    void writesThroughLink();
    void refusesWithoutTouching_data();
    void refusesWithoutTouching();
    void fullDiskKeepsOldFile_data();
    void fullDiskKeepsOldFile();
    void specialPaths_data();
    void specialPaths();
    void cleanup();

private:
    QString mountPoint;
};

void tst_mdlList::writesEveryLine_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QByteArray>("before"); // null: no file yet
    QTest::addColumn<QByteArray>("after");

    const QStringList triangle {"(0, 0)", "(3, 0)", "(3, 4)"};
    const QByteArray triangleBytes("(0, 0)\r\n(3, 0)\r\n(3, 4)\r\n");
    QTest::newRow("triangle to a new file") << triangle << QByteArray() << triangleBytes;
    QTest::newRow("empty list makes an empty file")
        << QStringList() << QByteArray() << QByteArray("");
    QTest::newRow("saving twice keeps one copy") << triangle << triangleBytes << triangleBytes;
    QTest::newRow("longer old file is cut back")
        << QStringList {"(0.25, -4.8)"} << QByteArray(4000, 'x') << QByteArray("(0.25, -4.8)\r\n");
    QTest::newRow("empty list empties an old file")
        << QStringList() << triangleBytes << QByteArray("");
}

// Each item becomes one CR LF line and nothing else; the user hears "List Saved".
void tst_mdlList::writesEveryLine()
{
    QFETCH(QStringList, items);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pointslog.txt"));
    if (!before.isNull())
        QVERIFY(writeAll(path, before));

    QListWidget list;
    fill(list, items);
    const SeenMessageBox box = saveAndRead(path, list);
    QCOMPARE(box.text, QStringLiteral("List Saved"));
    QCOMPARE(box.title, QStringLiteral("Tavrin"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QCOMPARE(readAll(path), after);
    QCOMPARE(QFileInfo(path).size(), after.size());
    QCOMPARE(entries(dir.path()), QStringList {QStringLiteral("pointslog.txt")});
    QCOMPARE(list.count(), items.size());
}

// Replacing the file must not change who may read it: a new file follows the umask like
// any created file, an old one keeps its mode.
void tst_mdlList::keepsModes()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QListWidget list;
    fill(list, {QStringLiteral("(0, 0)")});

    const mode_t mask = ::umask(022);
    const QString fresh = dir.filePath(QStringLiteral("fresh.txt"));
    const SeenMessageBox created = saveAndRead(fresh, list);
    ::umask(mask);
    QCOMPARE(created.text, QStringLiteral("List Saved"));
    QCOMPARE(QFileInfo(fresh).permissions()
                 & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    const QString old = dir.filePath(QStringLiteral("old.txt"));
    QVERIFY(writeAll(old, "old\r\n"));
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    QVERIFY(QFile::setPermissions(old, ownerOnly));
    QCOMPARE(saveAndRead(old, list).text, QStringLiteral("List Saved"));
    QCOMPARE(readAll(old), QByteArray("(0, 0)\r\n"));
    QCOMPARE(QFileInfo(old).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             ownerOnly);
}

// A path that is a link to the list file writes the file and leaves the link in place.
void tst_mdlList::writesThroughLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("target.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    QVERIFY(writeAll(target, "old\r\n"));
    QVERIFY(QFile::link(target, link));

    QListWidget list;
    fill(list, {QStringLiteral("(3, 4)")});
    QCOMPARE(saveAndRead(link, list).text, QStringLiteral("List Saved"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readAll(target), QByteArray("(3, 4)\r\n"));
}

void tst_mdlList::refusesWithoutTouching_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("cause");

    QTest::newRow("folder that does not exist") << "missing folder" << ENOENT;
    QTest::newRow("read-only file") << "read-only file" << EACCES;
    QTest::newRow("folder as the path") << "folder" << EISDIR;
    QTest::newRow("empty name") << "empty" << ENOENT;
    QTest::newRow("name too long") << "long name" << ENAMETOOLONG;
}

// Every refusal shows "An error has occured " with the system's words for the cause and
// leaves the folder exactly as it was: no new file, no left-over temporary copy, an old
// file with its bytes and its mode.
void tst_mdlList::refusesWithoutTouching()
{
    QFETCH(QString, kind);
    QFETCH(int, cause);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray oldBytes("(9, 9)\r\n");
    QString path;
    if (kind == QLatin1String("missing folder")) {
        path = dir.filePath(QStringLiteral("nowhere/pointslog.txt"));
    } else if (kind == QLatin1String("read-only file")) {
        path = dir.filePath(QStringLiteral("pointslog.txt"));
        QVERIFY(writeAll(path, oldBytes));
        QVERIFY(QFile::setPermissions(path, kReadOnly));
    } else if (kind == QLatin1String("folder")) {
        path = dir.filePath(QStringLiteral("pointslog.txt"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pointslog.txt")));
    } else if (kind == QLatin1String("long name")) {
        path = dir.filePath(QString(300, QLatin1Char('a')));
    }
    const QStringList before = entries(dir.path());

    QListWidget list;
    fill(list, {QStringLiteral("(0, 0)"), QStringLiteral("(3, 0)")});
    const SeenMessageBox box = saveAndRead(path, list);
    QCOMPARE(box.text, QStringLiteral("An error has occured ") + qt_error_string(cause));
    QCOMPARE(box.title, QStringLiteral("Tavrin"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QCOMPARE(entries(dir.path()), before);
    if (kind == QLatin1String("read-only file")) {
        QCOMPARE(readAll(path), oldBytes);
        QCOMPARE(QFileInfo(path).permissions()
                     & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 kReadOnly);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(entries(path).isEmpty());
    }
}

void tst_mdlList::fullDiskKeepsOldFile_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("fillFirst");
    // About 150 kB, more than the filesystem holds: a line write fails.
    QTest::newRow("runs out while writing lines") << 8000 << false;
    // A few lines still in the write buffer when the disk is already full: finishing fails.
    QTest::newRow("runs out when finishing") << 20 << true;
}

// A save that runs out of room reports the cause and leaves the old list file as it was.
void tst_mdlList::fullDiskKeepsOldFile()
{
    QFETCH(int, lines);
    QFETCH(bool, fillFirst);
    if (::geteuid() != 0)
        QSKIP("Making a full filesystem needs a tmpfs mount, which needs root.");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    dir.setAutoRemove(false); // removed in cleanup(), after the unmount
    mountPoint = dir.path();
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint});
    if (!mount.waitForFinished(10000) || mount.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("Cannot mount a small tmpfs here: ")
                         + QString::fromLocal8Bit(mount.readAllStandardError())));

    const QString path = mountPoint + QStringLiteral("/pointslog.txt");
    const QByteArray oldBytes("(0, 0)\r\n(3, 0)\r\n(3, 4)\r\n");
    QVERIFY(writeAll(path, oldBytes));
    QStringList expectedEntries {QStringLiteral("pointslog.txt")};
    if (fillFirst) {
        QFile filler(mountPoint + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) { }
        expectedEntries.prepend(QStringLiteral("filler"));
    }

    QListWidget list;
    for (int i = 0; i < lines; ++i)
        list.addItem(QStringLiteral("(%1.25, -4.75)").arg(i));
    const SeenMessageBox box = saveAndRead(path, list);
    QCOMPARE(box.text, QStringLiteral("An error has occured ") + qt_error_string(ENOSPC));
    QCOMPARE(readAll(path), oldBytes);
    QCOMPARE(entries(mountPoint), expectedEntries);
}

void tst_mdlList::specialPaths_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("answer");
    const QString error = QStringLiteral("An error has occured ");
    QTest::newRow("named pipe") << "fifo" << error + "It is a named pipe (FIFO), not a file.";
    QTest::newRow("full device") << "/dev/full" << error + qt_error_string(ENOSPC);
    QTest::newRow("null device") << "/dev/null"
                                 << "List Saved";
    QTest::newRow("loop of links") << "loop" << error + qt_error_string(ELOOP);
    QTest::newRow("name not UTF-8") << "latin1"
                                    << "List Saved";
}

// A named pipe answers at once and stays a pipe; a device is written in place and only
// what reached it is "List Saved"; a name that is not UTF-8 is the file it names.
void tst_mdlList::specialPaths()
{
    QFETCH(QString, kind);
    QFETCH(QString, answer);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("pointslog.txt"));
    QByteArray raw;
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
    } else if (kind.startsWith(QLatin1String("/dev/"))) {
        path = kind;
        if (!QFileInfo(path).exists() || QFileInfo(path).isFile())
            QSKIP("no such device here");
    } else if (kind == QLatin1String("loop")) {
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("b")), path));
        QVERIFY(QFile::link(path, dir.filePath(QStringLiteral("b"))));
    } else if (kind == QLatin1String("latin1")) {
        raw = QFile::encodeName(dir.path()) + "/points-\xe9t\xe9.txt";
        QFile file;
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        file.write("old\r\n");
        file.close();
        path = QFile::decodeName(raw); // as Qt spells it: U+FFFD for each odd byte
    }
    const QStringList before = entries(dir.path());
    QListWidget list;
    fill(list, {QStringLiteral("(0, 0)"), QStringLiteral("(3, 4)")});
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(saveAndRead(path, list).text, answer);
    QVERIFY2(clock.elapsed() < 5000, "the save did not answer at once");
    QCOMPARE(entries(dir.path()), before);
    if (kind == QLatin1String("fifo")) {
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    } else if (kind == QLatin1String("latin1")) {
        QFile file;
        const int fd = ::open(raw.constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QCOMPARE(file.readAll(), QByteArray("(0, 0)\r\n(3, 4)\r\n"));
        file.close();
        ::unlink(raw.constData()); // Qt cannot remove what it cannot name
    }
}

void tst_mdlList::cleanup()
{
    if (mountPoint.isEmpty())
        return;
    QProcess::execute(QStringLiteral("umount"), {mountPoint});
    QDir(mountPoint).removeRecursively();
    mountPoint.clear();
}

QTEST_MAIN(tst_mdlList)
#include "tst_mdlList.moc"
