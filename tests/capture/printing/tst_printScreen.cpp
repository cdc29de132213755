// Prints through the real default printer (a CUPS PDF queue) and reads the pages back.
#include "tst_printHelpers.h"

#include "capture/printing/frmPrintScreen.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>

using namespace printtest;

namespace {

struct PrintRun {
    QString pdf;
    PdfPage page;
    int messages = 0;
    QString messageText;
    QMessageBox::Icon messageIcon = QMessageBox::NoIcon;
    bool unloaded = false;
};

// Puts the queue back to accepting jobs however the test ends.
struct AcceptAgain {
    QString queue;
    ~AcceptAgain() { RunTool(QStringLiteral("cupsaccept"), {queue}); }
};

} // namespace

class tst_printScreen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void printsOnePageAtScreenScale_data();
    void printsOnePageAtScreenScale();
    void everyPrintStartsFromTheDesign();
    void refusedJobIsReported();

private:
    PrintRun print(const QImage& picture, bool expectPdf = true);

    QString pdfDir_;
    QString queue_;
    QSizeF pagePoints_;
    QRectF printable_; // printable area in page pixels at 96 dpi
};

void tst_printScreen::initTestCase()
{
    pdfDir_ = qEnvironmentVariable("ZARNEL_PDF_DIR");
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER") || pdfDir_.isEmpty())
        QSKIP("needs the print server that tools/test.sh starts (CUPS_SERVER, ZARNEL_PDF_DIR)");

    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    QVERIFY2(!printer.isNull(), "the print server has no default printer");
    queue_ = printer.printerName();
    QPageLayout layout = QPrinter(printer, QPrinter::HighResolution).pageLayout();
    layout.setUnits(QPageLayout::Point);
    pagePoints_ = layout.fullRect().size();
    // The picture starts where the printer's unprintable margin ends.
    const QRectF paint = layout.fullRect().marginsRemoved(layout.minimumMargins());
    constexpr double pxPerPt = 96.0 / 72.0;
    printable_ = QRectF(paint.topLeft() * pxPerPt, paint.size() * pxPerPt);
    QVERIFY(!printable_.isEmpty());
}

PrintRun tst_printScreen::print(const QImage& picture, bool expectPdf)
{
    PrintRun run;
    PdfFolder folder(pdfDir_);
    folder.snapshot();
    {
        MessageBoxWatcher watcher;
        capture::frmPrintScreen::instance().PrintBitmap(picture);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        run.unloaded = capture::frmPrintScreen::loaded() == nullptr;
        run.messages = watcher.count();
        run.messageText = watcher.text();
        run.messageIcon = watcher.icon();
    }
    if (expectPdf) {
        run.pdf = folder.waitForNewPdf();
        if (!run.pdf.isEmpty()) {
            run.page = ReadPdf(run.pdf, kCompareDpi);
            // Read once and gone: the next print makes a new file, whatever the file times.
            QFile::remove(run.pdf);
        }
    }
    return run;
}

void tst_printScreen::printsOnePageAtScreenScale_data()
{
    QTest::addColumn<QSize>("logicalSize");
    QTest::addColumn<qreal>("ratio");

    QTest::newRow("small picture, white around it") << QSize(120, 80) << 1.0;
    QTest::newRow("wider than the page, cut at the right") << QSize(1000, 64) << 1.0;
    QTest::newRow("taller than the page, cut at the bottom") << QSize(48, 1300) << 1.0;
    QTest::newRow("full screen, cut both ways") << QSize(1920, 1080) << 1.0;
    QTest::newRow("captured at pixel ratio 2, printed at its screen size") << QSize(120, 80) << 2.0;
}

void tst_printScreen::printsOnePageAtScreenScale()
{
    QFETCH(QSize, logicalSize);
    QFETCH(qreal, ratio);

    const QImage picture = BlockPicture(logicalSize, ratio);
    const PrintRun run = print(picture);
    QCOMPARE(run.messages, 0);
    QVERIFY(run.unloaded);
    QVERIFY2(!run.pdf.isEmpty(), "no PDF came out of the printer");
    QCOMPARE(run.page.pages, 1);
    QVERIFY(qAbs(run.page.pageSizePoints.width() - pagePoints_.width()) < 1.0);
    QVERIFY(qAbs(run.page.pageSizePoints.height() - pagePoints_.height()) < 1.0);
    // Every picture pixel at its own place at 1/96 inch, cut at the printable area, white
    // everywhere else.
    const QString wrong = ComparePictureOnPage(run.page.rendered, kCompareDpi, picture,
                                               printable_.topLeft(), printable_, 2);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void tst_printScreen::everyPrintStartsFromTheDesign()
{
    // A large picture first: nothing of it may remain in the prints after it.
    const PrintRun large = print(BlockPicture(QSize(1600, 1200)));
    QVERIFY(large.unloaded);
    QCOMPARE(large.page.pages, 1);

    const QImage small = BlockPicture(QSize(96, 64));
    const PrintRun first = print(small);
    const PrintRun second = print(small);
    QVERIFY(first.unloaded && second.unloaded);
    QCOMPARE(first.messages + second.messages, 0);
    QCOMPARE(first.page.pages, 1);
    QCOMPARE(second.page.pages, 1);
    const QString wrong = ComparePictureOnPage(first.page.rendered, kCompareDpi, small,
                                               printable_.topLeft(), printable_, 2);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QVERIFY2(first.page.rendered == second.page.rendered, "two prints in a row differ");
}

void tst_printScreen::refusedJobIsReported()
{
    QVERIFY(RunTool(QStringLiteral("cupsreject"),
                    {QStringLiteral("-r"), QStringLiteral("held by a test"), queue_}));
    const AcceptAgain restore {queue_};
    const int jobsBefore = AllJobs().size();

    const PrintRun run = print(BlockPicture(QSize(64, 64)), false);
    QCOMPARE(run.messages, 1);
    QCOMPARE(run.messageIcon, QMessageBox::Information);
    QVERIFY2(run.messageText.contains(queue_), qPrintable(run.messageText));
    QVERIFY2(run.messageText.contains(QStringLiteral("not accepting jobs")),
             qPrintable(run.messageText));
    QVERIFY(run.unloaded);
    QCOMPARE(AllJobs().size(), jobsBefore);
}

QTEST_MAIN(tst_printScreen)
#include "tst_printScreen.moc"
