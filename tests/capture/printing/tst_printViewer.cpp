// From the viewer to the paper: capture the screen, print it with the viewer's Print command
// and read the page back.
#include "tst_printHelpers.h"

#include "capture/printing/frmPrintScreen.h"
#include "capture/viewer/frmScreenCapture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPageLayout>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTest>

using namespace printtest;
using capture::frmScreenCapture;

class tst_printViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void printsTheViewersPictureFromTheMenu_data();
    void printsTheViewersPictureFromTheMenu();
};

namespace {
QString pdfDir;
}

void tst_printViewer::initTestCase()
{
    pdfDir = qEnvironmentVariable("ZARNEL_PDF_DIR");
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER") || pdfDir.isEmpty())
        QSKIP("needs the print server that tools/test.sh starts (CUPS_SERVER, ZARNEL_PDF_DIR)");
    QVERIFY2(!QPrinterInfo::defaultPrinter().isNull(), "the print server has no default printer");
}

void tst_printViewer::cleanup()
{
    if (auto* viewer = frmScreenCapture::loaded())
        viewer->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
}

void tst_printViewer::printsTheViewersPictureFromTheMenu_data()
{
    QTest::addColumn<QRect>("crop"); // dragged on the image; empty: no crop

    QTest::newRow("the captured screen, cut at the page's edges") << QRect();
    QTest::newRow("a crop of it, white around it") << QRect(QPoint(20, 12), QPoint(261, 201));
}

void tst_printViewer::printsTheViewersPictureFromTheMenu()
{
    QFETCH(QRect, crop);

    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();

    // Something recognisable in the screen's top-left corner, where the page starts.
    const QImage blocks = BlockPicture(QSize(400, 304));
    QLabel corner;
    corner.setWindowFlags(Qt::FramelessWindowHint);
    corner.setPixmap(QPixmap::fromImage(blocks));
    corner.setGeometry(QRect(area.topLeft(), blocks.size()));
    corner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&corner));

    frmScreenCapture& viewer = frmScreenCapture::instance();
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.move(area.center());
    viewer.mnuFullScreen_Click();
    QCOMPARE(viewer.picture().deviceIndependentSize().toSize(), area.size());
    QCOMPARE(QColor(viewer.picture().pixel(QPoint(40, 40) * viewer.picture().devicePixelRatio())),
             BlockColour(40, 40));

    if (!crop.isEmpty()) {
        auto* picture2 = viewer.findChild<QWidget*>(QStringLiteral("Picture2"));
        QVERIFY(picture2);
        viewer.mnuCrop_Click();
        QTest::mousePress(picture2, Qt::LeftButton, {}, crop.topLeft());
        QTest::mouseMove(picture2, crop.center());
        QTest::mouseMove(picture2, crop.bottomRight());
        QTest::mouseRelease(picture2, Qt::LeftButton, {}, crop.bottomRight());
        QVERIFY(viewer.picture().width() < area.width());
    }
    const QImage picture = viewer.picture();

    PdfFolder folder(pdfDir);
    folder.snapshot();
    {
        MessageBoxWatcher watcher;
        auto* print = viewer.findChild<QAction*>(QStringLiteral("mnuPrint"));
        QVERIFY(print);
        print->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(watcher.count(), 0);
    }
    QVERIFY(!capture::frmPrintScreen::loaded());
    QVERIFY(viewer.isVisible());

    const QString pdf = folder.waitForNewPdf();
    QVERIFY2(!pdf.isEmpty(), "no PDF came out of the printer");
    const PdfPage page = ReadPdf(pdf, kCompareDpi);
    QFile::remove(pdf);
    QCOMPARE(page.pages, 1);

    QPageLayout layout = QPrinter(QPrinterInfo::defaultPrinter()).pageLayout();
    layout.setUnits(QPageLayout::Point);
    const QRectF paint = layout.fullRect().marginsRemoved(layout.minimumMargins());
    const QRectF printable(paint.topLeft() * 96 / 72, paint.size() * 96 / 72);
    // The screen is wider than the page and, on A4, shorter: cut at the right, white below;
    // the crop lies wholly on the page, white around it.
    const QString wrong = ComparePictureOnPage(page.rendered, kCompareDpi, picture,
                                               printable.topLeft(), printable, 2);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

QTEST_MAIN(tst_printViewer)
#include "tst_printViewer.moc"
