// Pictures into and out of the viewer without its menus: real files dropped on the window,
// images pasted from another X client (xclip) and Ctrl+C read back by it.

#include "tst_viewerSupport.h"

#include "capture/frmScreenCapture.h"

#include <QClipboard>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QtTest>

using capture::frmScreenCapture;
using namespace viewertest;

namespace {

// Larger than the viewport, so the scroll bars show once it is in.
QImage sample()
{
    QImage image(1400, 1000, QImage::Format_RGB32);
    image.fill(QColor(230, 230, 230));
    QPainter p(&image);
    p.fillRect(10, 10, 300, 200, QColor(200, 20, 20));
    p.fillRect(500, 300, 380, 380, QColor(20, 20, 200));
    return image;
}

QImage opaque(const QImage& image)
{
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    rgb.setDevicePixelRatio(1);
    return rgb;
}

// A drag from a file manager ending over the window: enter, move, drop.
bool drop(QWidget& window, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &dropped);
    return dropped.isAccepted();
}

} // namespace

class tst_viewerPasteDrop : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void dropOpensTheFile_data();
    void dropOpensTheFile();
    void droppedFailureSaysWhatOpenSays();
    void pasteFromAnotherProgram_data();
    void pasteFromAnotherProgram();
    void pasteWithoutAnImage();

private:
    // Another program puts file on the clipboard as type and keeps serving it.
    void offer(const QString& type, const QString& file);
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier);
    frmScreenCapture* viewer_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QProcess> xclip_;
};

void tst_viewerPasteDrop::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    viewer_ = &frmScreenCapture::instance();
    viewer_->show();
    viewer_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(viewer_));
}

void tst_viewerPasteDrop::cleanup()
{
    if (xclip_ && xclip_->state() != QProcess::NotRunning) {
        xclip_->kill();
        xclip_->waitForFinished();
    }
    xclip_.reset();
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
}

void tst_viewerPasteDrop::offer(const QString& type, const QString& file)
{
    if (QStandardPaths::findExecutable("xclip").isEmpty())
        QSKIP("xclip is not installed");
    xclip_ = std::make_unique<QProcess>();
    xclip_->start("xclip", {"-quiet", "-selection", "clipboard", "-t", type, "-i", file});
    QVERIFY(xclip_->waitForStarted());
    QTRY_VERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(type));
}

void tst_viewerPasteDrop::key(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : viewer_;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

void tst_viewerPasteDrop::dropOpensTheFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("bitmap") << "dropped.bmp" << QByteArray("BMP");
    QTest::newRow("jpeg") << "dropped.jpg" << QByteArray("JPEG");
}

void tst_viewerPasteDrop::dropOpensTheFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    const QString path = dir_->filePath(name);
    QVERIFY(sample().save(path, format.constData()));
    // Only local files are taken; a web address is refused at the door.
    QVERIFY(!drop(*viewer_, {QUrl("https://example.invalid/picture.bmp")}));
    QVERIFY(drop(*viewer_, {QUrl::fromLocalFile(path)}));
    QTRY_VERIFY(forms::HasPicture(viewer_->picture()));
    QCOMPARE(opaque(viewer_->picture()), opaque(QImageReader(path).read()));
    QCOMPARE(viewer_->picture().devicePixelRatio(), viewer_->devicePixelRatioF());
    QVERIFY(!viewer_->findChild<QScrollBar*>("HScroll1")->isHidden());
    QVERIFY(!viewer_->findChild<QScrollBar*>("VScroll1")->isHidden());
}

void tst_viewerPasteDrop::droppedFailureSaysWhatOpenSays()
{
    const QString good = dir_->filePath("good.bmp");
    const QString bad = dir_->filePath("notes.bmp");
    QVERIFY(sample().save(good, "BMP"));
    QFile text(bad);
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0);
    text.close();
    QVERIFY(drop(*viewer_, {QUrl::fromLocalFile(good)}));
    QTRY_VERIFY(forms::HasPicture(viewer_->picture()));
    const qint64 before = viewer_->picture().cacheKey();

    auto dropped = expectMessageBox();
    QVERIFY(drop(*viewer_, {QUrl::fromLocalFile(bad)}));
    QTRY_VERIFY(dropped->shown);
    {
        const auto watch = whenModal<QFileDialog>([bad](QFileDialog* dialog) {
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(bad);
            else
                dialog->selectFile(bad);
            static_cast<QDialog*>(dialog)->accept();
        });
        auto opened = expectMessageBox();
        viewer_->mnuOpen_Click();
        QVERIFY(opened->shown);
        QCOMPARE(dropped->title, opened->title);
        QCOMPARE(dropped->text, opened->text);
        QCOMPARE(dropped->icon, QMessageBox::Information);
    }
    QCOMPARE(viewer_->picture().cacheKey(), before);
}

void tst_viewerPasteDrop::pasteFromAnotherProgram_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << "image/png" << QByteArray("PNG");
    QTest::newRow("bitmap") << "image/bmp" << QByteArray("BMP");
}

void tst_viewerPasteDrop::pasteFromAnotherProgram()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, format);
    const QString file = dir_->filePath("offered");
    QVERIFY(sample().save(file, format.constData()));
    offer(type, file);
    key(Qt::Key_V);
    QCOMPARE(opaque(viewer_->picture()), sample());
    QCOMPARE(viewer_->picture().devicePixelRatio(), viewer_->devicePixelRatioF());
    QVERIFY(!viewer_->findChild<QScrollBar*>("HScroll1")->isHidden());

    // Ctrl+C hands it on as Copy Image to Clipboard does; xclip reads it back.
    auto seen = expectMessageBox();
    key(Qt::Key_C);
    QVERIFY(seen->shown);
    QCOMPARE(seen->title, QStringLiteral("Copy Image to Clipboard"));
    QProcess reader;
    reader.start("xclip", {"-o", "-selection", "clipboard", "-t", "image/png"});
    QVERIFY(reader.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(reader.state() == QProcess::NotRunning, 10000);
    QImage copied;
    QVERIFY(copied.loadFromData(reader.readAllStandardOutput(), "PNG"));
    QCOMPARE(opaque(copied), sample());
}

void tst_viewerPasteDrop::pasteWithoutAnImage()
{
    const QString good = dir_->filePath("good.bmp");
    QVERIFY(sample().save(good, "BMP"));
    QVERIFY(drop(*viewer_, {QUrl::fromLocalFile(good)}));
    QTRY_VERIFY(forms::HasPicture(viewer_->picture()));
    const qint64 before = viewer_->picture().cacheKey();

    const QString words = dir_->filePath("words.txt");
    QFile text(words);
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("just words") > 0);
    text.close();
    offer("text/plain", words);
    auto seen = expectMessageBox();
    key(Qt::Key_V);
    QVERIFY(seen->shown);
    QCOMPARE(seen->icon, QMessageBox::Information);
    QVERIFY2(seen->text.contains("clipboard"), qPrintable(seen->text));
    QCOMPARE(viewer_->picture().cacheKey(), before);
}

QTEST_MAIN(tst_viewerPasteDrop)
#include "tst_viewerPasteDrop.moc"
