// The viewer's Open and Save As with real files in temporary folders and the real file
// dialogs: formats, the bitmap round trip, and the failures a user can meet.

#include "ImageSamples.h"
#include "ViewerSupport.h"

#include "capture/viewer/frmScreenCapture.h"
#include "forms/ImageFiles.h"
#include "forms/PictureBox.h"

#include <QDirIterator>
#include <QFileDialog>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QtEndian>
#include <QtTest>

using capture::frmScreenCapture;
using namespace testsupport;

class tst_viewerFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dialogsStoreNothing();
    void openDialogOffersThreeTypes();
    void cancelKeepsThePicture();
    void bitmapRoundTrip_data();
    void bitmapRoundTrip();
    void saveReplacesWithoutAsking();
    void transparentPartsShowTheBackground();
    void screenshotsOfEightKOpen();
    void openFailures_data();
    void openFailures();
    void saveFailures_data();
    void saveFailures();

private:
    // Runs Open (menu or toolbar) and picks path in the real dialog.
    void open(const QString& path, bool viaToolbar = false);
    void saveAs(const QString& path, bool viaToolbar = false);
    frmScreenCapture* viewer_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
    QStringList filtersSeen_;
};

void tst_viewerFiles::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    viewer_ = &frmScreenCapture::instance();
    viewer_->show();
    QVERIFY(QTest::qWaitForWindowExposed(viewer_));
}

void tst_viewerFiles::cleanup()
{
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
    viewer_ = nullptr;
}

void tst_viewerFiles::open(const QString& path, bool viaToolbar)
{
    const auto watch = whenModal<QFileDialog>([this, path](QFileDialog* dialog) {
        filtersSeen_ = dialog->nameFilters();
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        choose(dialog, path);
    });
    if (viaToolbar)
        viewer_->Toolbar1_ButtonClick(QStringLiteral("Open"));
    else
        viewer_->mnuOpen_Click();
}

void tst_viewerFiles::saveAs(const QString& path, bool viaToolbar)
{
    const auto watch = whenModal<QFileDialog>([this, path](QFileDialog* dialog) {
        filtersSeen_ = dialog->nameFilters();
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        choose(dialog, path);
    });
    if (viaToolbar)
        viewer_->Toolbar1_ButtonClick(QStringLiteral("SaveIt"));
    else
        viewer_->mnuSave_Click();
}

// Qt's file dialog writes its history to the user's configuration folder as it closes;
// the program stores nothing, there or anywhere else.
void tst_viewerFiles::dialogsStoreNothing()
{
    const QDir config(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    const auto snapshot = [&config] {
        QStringList entries;
        QDirIterator it(config.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            entries << info.filePath() + QLatin1Char(' ')
                           + info.lastModified().toString(Qt::ISODateWithMs);
        }
        return entries;
    };
    const QStringList before = snapshot();
    const QString path = dir_->filePath("a.bmp");
    QVERIFY(sample().save(path, "BMP"));
    open(path);
    QVERIFY(forms::HasPicture(viewer_->picture()));
    saveAs(dir_->filePath("b.bmp"));
    QVERIFY(QFileInfo::exists(dir_->filePath("b.bmp")));
    QCOMPARE(snapshot(), before);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList {"a.bmp", "b.bmp"}));
}

void tst_viewerFiles::openDialogOffersThreeTypes()
{
    const QString path = dir_->filePath("a.bmp");
    QVERIFY(sample().save(path, "BMP"));
    // The dialog starts in "aaaaaa" in the home folder when there is one.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir_->path()));
    QVERIFY(QDir(dir_->path()).mkdir("aaaaaa"));
    QString startedIn;
    {
        const auto watch = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            startedIn = dialog->directory().absolutePath();
            choose(dialog, path);
        });
        viewer_->mnuOpen_Click();
    }
    qputenv("HOME", home);
    QCOMPARE(startedIn, QDir(dir_->filePath("aaaaaa")).absolutePath());
    open(path);
    QCOMPARE(filtersSeen_,
             (QStringList {"GIF Files (*.gif)", "JPEG Files(*.jpg)", "Bitmap Files (*.bmp)"}));
    QVERIFY(forms::HasPicture(viewer_->picture()));
    saveAs(dir_->filePath("b.bmp"));
    QCOMPARE(filtersSeen_, QStringList {"Bitmap Files (*.bmp)"});
}

void tst_viewerFiles::cancelKeepsThePicture()
{
    const QString path = dir_->filePath("a.bmp");
    QVERIFY(sample().save(path, "BMP"));
    open(path);
    const qint64 key = viewer_->picture().cacheKey();
    const auto watch = whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    viewer_->mnuOpen_Click();
    QCOMPARE(viewer_->picture().cacheKey(), key);
}

void tst_viewerFiles::bitmapRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("gif") << "sample.gif" << QByteArray("GIF");
    QTest::newRow("jpeg") << "sample.jpg" << QByteArray("JPEG");
    QTest::newRow("bmp") << "sample.bmp" << QByteArray("BMP");
}

void tst_viewerFiles::bitmapRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    const QString source = dir_->filePath(name);
    if (format == "GIF")
        writeBytes(source, gifOf(sample()));
    else
        QVERIFY(sample().save(source, format.constData()));
    open(source);
    const QImage opened = viewer_->picture();
    QCOMPARE(opened.size(), sample().size()); // every pixel, whatever the screen density
    QCOMPARE(opened.devicePixelRatio(), viewer_->devicePixelRatioF());

    // A name without an extension is written exactly as typed, and as a bitmap.
    const QString saved = dir_->filePath("copy-without-extension");
    saveAs(saved);
    QVERIFY(QFileInfo::exists(saved));
    QCOMPARE(QImageReader(saved).format(), QByteArray("bmp"));
    const QImage back(saved);
    QCOMPARE(asRgb(back), asRgb(opened));

    // And it opens again as the same picture.
    open(saved);
    QCOMPARE(asRgb(viewer_->picture()), asRgb(opened));
}

void tst_viewerFiles::saveReplacesWithoutAsking()
{
    const QString source = dir_->filePath("a.bmp");
    QVERIFY(sample().save(source, "BMP"));
    open(source);
    const QString target = dir_->filePath("existing.bmp");
    writeBytes(target, "not a picture yet");
    auto box = expectMessageBox();
    saveAs(target, true);
    QTest::qWait(100);
    QVERIFY(!box->shown);
    QCOMPARE(asRgb(QImage(target)), asRgb(sample()));
}

void tst_viewerFiles::transparentPartsShowTheBackground()
{
    // A red picture first, then a GIF whose left half is see-through.
    QImage red(120, 80, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString first = dir_->filePath("red.bmp");
    QVERIFY(red.save(first, "BMP"));
    open(first);
    QImage half(120, 80, QImage::Format_Indexed8);
    half.setColorTable({qRgb(0, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); ++x)
            half.setPixel(x, y, x < 60 ? 0 : 1);
    const QString gif = dir_->filePath("half.gif");
    writeBytes(gif, gifOf(half, 0));
    open(gif);
    QVERIFY(viewer_->picture().hasAlphaChannel());

    // On the screen: the box's own colour where the picture is see-through, no red left.
    auto* box = viewer_->findChild<forms::PictureBox*>(QStringLiteral("Picture2"));
    const QColor background = box->backColor();
    QTRY_COMPARE(box->size(), viewer_->picture().deviceIndependentSize().toSize());
    box->repaint();
    QTest::qWait(50);
    const QPoint corner = box->mapToGlobal(QPoint());
    // One picture pixel per device pixel, as the grab has them.
    const QImage shown = viewer_->screen()
                             ->grabWindow(0, corner.x(), corner.y(), box->width(), box->height())
                             .toImage();
    QCOMPARE(shown.pixelColor(20, 40).rgb(), background.rgb());
    QCOMPARE(shown.pixelColor(100, 40).rgb(), QColor(Qt::blue).rgb());

    // Saved as it is shown: the see-through part is the background colour, not black.
    const QString saved = dir_->filePath("saved.bmp");
    saveAs(saved);
    const QImage back(saved);
    QCOMPARE(back.pixelColor(10, 10).rgb(), background.rgb());
    QCOMPARE(back.pixelColor(110, 10).rgb(), QColor(Qt::blue).rgb());
}

void tst_viewerFiles::screenshotsOfEightKOpen()
{
    const QString path = dir_->filePath("8k.bmp");
    QImage big(7680, 4320, QImage::Format_RGB888);
    big.fill(QColor(10, 20, 30));
    big.setPixelColor(7679, 4319, QColor(250, 0, 0));
    QVERIFY(big.save(path, "BMP"));
    big = QImage();
    auto box = expectMessageBox();
    open(path);
    QVERIFY2(!box->shown, qPrintable(box->text));
    QCOMPARE(viewer_->picture().size(), QSize(7680, 4320));
    QCOMPARE(QColor(viewer_->picture().pixel(7679, 4319)), QColor(250, 0, 0));
}

void tst_viewerFiles::openFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("viaToolbar");
    QByteArray bitmap;
    {
        QBuffer buffer(&bitmap);
        buffer.open(QIODevice::WriteOnly);
        sample().save(&buffer, "BMP");
    }
    QByteArray random(4096, '\0');
    QRandomGenerator generator(7);
    for (char& c : random)
        c = char(generator.bounded(256));
    random[0] = 'x'; // not by chance a signature
    QTest::newRow("zero-bytes") << "empty.bmp" << QByteArray() << false;
    QTest::newRow("random-bytes") << "noise.jpg" << random << true;
    QTest::newRow("text-file") << "notes.gif" << QByteArray("just some words\n") << false;
    QTest::newRow("truncated-bitmap") << "cut.bmp" << bitmap.left(bitmap.size() / 3) << true;
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        sample(300, 200).save(&buffer, "JPEG");
    }
    const QByteArray gif = gifOf(sample(300, 200));
    QTest::newRow("truncated-jpeg") << "cut.jpg" << jpeg.left(jpeg.size() / 2) << false;
    QTest::newRow("truncated-gif") << "cut.gif" << gif.left(gif.size() / 2) << true;
    QTest::newRow("header-only") << "header.bmp" << bitmap.left(30) << false;
    QTest::newRow("absurd-size") << "huge.bmp" << bitmapHeader(200000, 200000) << false;
    QTest::newRow("absurd-size-toolbar") << "huge2.bmp" << bitmapHeader(100000, 90000) << true;
}

void tst_viewerFiles::openFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, viaToolbar);
    const QString good = dir_->filePath("good.bmp");
    QVERIFY(sample().save(good, "BMP"));
    open(good);
    const qint64 before = viewer_->picture().cacheKey();

    const QString bad = dir_->filePath(name);
    writeBytes(bad, content);
    auto box = expectMessageBox();
    open(bad, viaToolbar);
    QVERIFY(box->shown);
    QCOMPARE(box->icon, QMessageBox::Information);
    QVERIFY2(box->text.contains(QDir::toNativeSeparators(bad)), qPrintable(box->text));
    const QString cause = forms::LoadPicture(bad).error;
    QVERIFY(!cause.isEmpty());
    QVERIFY2(box->text.contains(cause), qPrintable(box->text));
    QCOMPARE(viewer_->picture().cacheKey(), before);
}

void tst_viewerFiles::saveFailures_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("read-only-folder") << "readonly";
    QTest::newRow("missing-folder") << "missing";
    QTest::newRow("folder-is-a-file") << "file";
    QTest::newRow("full-disk") << "full";
}

void tst_viewerFiles::saveFailures()
{
    QFETCH(QString, where);
    QString target;
    if (where == "readonly") {
        const QString folder = dir_->filePath("locked");
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(folder + "/probe");
        target = folder + "/shot.bmp";
        if (probe.open(QIODevice::WriteOnly)) {
            // Permissions do not stop this user (root); the process table's folder does.
            probe.remove();
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            if (!QFileInfo(QStringLiteral("/proc/self")).isDir())
                QSKIP("this user writes into read-only folders");
            target = QStringLiteral("/proc/zarnel-shot.bmp");
        }
    } else if (where == "missing") {
        target = dir_->filePath("no-such-folder/shot.bmp");
    } else if (where == "file") {
        writeBytes(dir_->filePath("plain"), "x");
        target = dir_->filePath("plain/shot.bmp");
    } else {
        // Only the real device: a plain file of that name would be replaced.
        const QFileInfo full(QStringLiteral("/dev/full"));
        if (!full.exists() || full.isFile() || full.isDir() || full.isSymLink())
            QSKIP("no full-disk device here");
        target = QStringLiteral("/dev/full");
    }
    const QString good = dir_->filePath("good.bmp");
    QVERIFY(sample().save(good, "BMP"));
    open(good);
    const qint64 before = viewer_->picture().cacheKey();

    auto box = expectMessageBox();
    // The dialog is for people: drive the command through it only where it can reach the
    // path; the message must be the same either way.
    if (where == "readonly" || where == "full") {
        saveAs(target);
    } else {
        const QString error = forms::SavePicture(viewer_->picture(), target);
        QVERIFY(!error.isEmpty());
        box->watch.reset();
        return;
    }
    QVERIFY(box->shown);
    QVERIFY2(box->text.contains(QDir::toNativeSeparators(target)), qPrintable(box->text));
    QVERIFY2(box->text.contains(forms::SavePicture(viewer_->picture(), target)),
             qPrintable(box->text));
    QCOMPARE(viewer_->picture().cacheKey(), before);
    if (where == "readonly")
        QFile::setPermissions(QFileInfo(target).path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(tst_viewerFiles)
#include "tst_viewerFiles.moc"
