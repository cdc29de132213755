// Pictures into and out of the viewer without its menus: real files dropped on the window,
// images pasted from another X client (xclip) and Ctrl+C read back by it.

#include "Clipboard.h"
#include "ViewerSupport.h"

#include "capture/viewer/frmScreenCapture.h"

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
using namespace testsupport;

namespace {

// Larger than the viewport at either device pixel ratio, so the scroll bars show.
QImage sample()
{
    QImage image(1400, 1000, QImage::Format_RGB32);
    image.fill(QColor(230, 230, 230));
    QPainter(&image).fillRect(500, 300, 380, 380, QColor(20, 20, 200));
    return image;
}

QImage opaque(const QImage& image)
{
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    rgb.setDevicePixelRatio(1);
    return rgb;
}

// A drag from a file manager ending over the window: enter, move, drop.
bool drop(QWidget& window, const QUrl& url)
{
    QMimeData data;
    data.setUrls({url});
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

void shows(const frmScreenCapture& viewer, const QImage& image)
{
    QCOMPARE(opaque(viewer.picture()), opaque(image));
    QCOMPARE(viewer.picture().devicePixelRatio(), viewer.devicePixelRatioF());
    QVERIFY(!viewer.findChild<QScrollBar*>("HScroll1")->isHidden());
}

void keyClick(frmScreenCapture& viewer, Qt::Key key)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &viewer;
    QTest::keyClick(target, key, Qt::ControlModifier);
}

} // namespace

class tst_viewerPasteDrop : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        viewer_ = &frmScreenCapture::instance();
        viewer_->show();
        viewer_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(viewer_));
    }

    void cleanup()
    {
        if (xclip_.state() != QProcess::NotRunning) {
            xclip_.kill();
            xclip_.waitForFinished();
        }
        viewer_->close();
        QTRY_VERIFY(!frmScreenCapture::loaded());
    }

    void dropOpensTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("bitmap") << "dropped.bmp" << QByteArray("BMP");
        QTest::newRow("jpeg") << "dropped.jpg" << QByteArray("JPEG");
    }

    void dropOpensTheFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const QString path = dir_.filePath(name);
        QVERIFY(sample().save(path, format.constData()));
        QVERIFY(!drop(*viewer_, QUrl("https://example.invalid/picture.bmp"))); // files only
        QVERIFY(drop(*viewer_, QUrl::fromLocalFile(path)));
        QTRY_VERIFY(forms::HasPicture(viewer_->picture()));
        shows(*viewer_, QImageReader(path).read());
    }

    void droppedFailureSaysWhatOpenSays()
    {
        const QString bad = dir_.filePath("notes.bmp");
        QFile text(bad);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a picture\n") > 0);
        text.close();
        auto dropped = expectMessageBox();
        QVERIFY(drop(*viewer_, QUrl::fromLocalFile(bad)));
        QTRY_VERIFY(dropped->shown);

        const auto watch = whenModal<QFileDialog>([bad](QFileDialog* dialog) {
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(bad); // as a user types it
            else
                dialog->selectFile(bad);
            static_cast<QDialog*>(dialog)->accept();
        });
        auto opened = expectMessageBox();
        viewer_->mnuOpen_Click();
        QVERIFY(opened->shown);
        QCOMPARE(dropped->title, opened->title);
        QCOMPARE(dropped->text, opened->text);
        QVERIFY(!forms::HasPicture(viewer_->picture()));
    }

    // Another program offers the clipboard as type; Ctrl+V, then Ctrl+C hands it back.
    void paste_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("format"); // empty: text, not a picture
        QTest::newRow("png") << "image/png" << QByteArray("PNG");
        QTest::newRow("bitmap") << "image/bmp" << QByteArray("BMP");
        QTest::newRow("text") << "text/plain" << QByteArray();
    }

    void paste()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, format);
        if (QStandardPaths::findExecutable("xclip").isEmpty())
            QSKIP("xclip is not installed");
        const QString earlier = dir_.filePath("earlier.bmp");
        QVERIFY(QImage(40, 30, QImage::Format_RGB32).save(earlier, "BMP"));
        QVERIFY(drop(*viewer_, QUrl::fromLocalFile(earlier)));
        QTRY_VERIFY(forms::HasPicture(viewer_->picture()));
        const qint64 before = viewer_->picture().cacheKey();

        const QString offered = dir_.filePath("offered");
        QFile file(offered);
        QVERIFY(format.isEmpty() ? file.open(QIODevice::WriteOnly) && file.write("words") > 0
                                 : sample().save(&file, format.constData()));
        file.close();
        xclip_.start("xclip", {"-quiet", "-selection", "clipboard", "-t", type, "-i", offered});
        QVERIFY(xclip_.waitForStarted());
        QTRY_VERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(type));

        if (format.isEmpty()) {
            auto seen = expectMessageBox();
            keyClick(*viewer_, Qt::Key_V);
            QVERIFY(seen->shown);
            QCOMPARE(seen->icon, QMessageBox::Information);
            QCOMPARE(viewer_->picture().cacheKey(), before);
            return;
        }
        keyClick(*viewer_, Qt::Key_V);
        shows(*viewer_, sample());

        auto seen = expectMessageBox();
        keyClick(*viewer_, Qt::Key_C);
        QCOMPARE(seen->title, QStringLiteral("Copy Image to Clipboard"));
        const ClipboardRead read = ReadClipboardAsAnotherClient(QStringLiteral("image/png"));
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QImage copied;
        QVERIFY(copied.loadFromData(read.data, "PNG"));
        QCOMPARE(opaque(copied), sample());
    }

private:
    frmScreenCapture* viewer_ = nullptr;
    QTemporaryDir dir_;
    QProcess xclip_;
};

QTEST_MAIN(tst_viewerPasteDrop)
#include "tst_viewerPasteDrop.moc"
