// Prints against a print server that has a printer but no default one.
#include "tst_printHelpers.h"

#include "capture/printing/frmPrintScreen.h"

#include <QApplication>
#include <QPrinterInfo>
#include <QTest>

using namespace printtest;

class tst_printNoDefault : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void missingDefaultPrinterIsReported();
};

void tst_printNoDefault::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("ZARNEL_CUPS_NODEFAULT"))
        QSKIP("needs the print server that tools/test.sh starts (ZARNEL_CUPS_NODEFAULT)");
    // Only a server with queues and none of them the default tells this path apart from
    // "no printers at all".
    QVERIFY2(!QPrinterInfo::availablePrinterNames().isEmpty(), "the server has no printers");
    QVERIFY2(QPrinterInfo::defaultPrinter().isNull(), "the server has a default printer");
}

void tst_printNoDefault::missingDefaultPrinterIsReported()
{
    const int jobsBefore = AllJobs().size();
    MessageBoxWatcher watcher;
    capture::frmPrintScreen::instance().PrintBitmap(BlockPicture(QSize(64, 48)));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(watcher.count(), 1);
    QCOMPARE(watcher.icon(), QMessageBox::Information);
    QCOMPARE(watcher.title(), QStringLiteral("Cannot Print"));
    QVERIFY2(watcher.text().contains(QStringLiteral("no default printer")),
             qPrintable(watcher.text()));
    QVERIFY(capture::frmPrintScreen::loaded() == nullptr);
    QCOMPARE(AllJobs().size(), jobsBefore);
}

int main(int argc, char** argv)
{
    // Point libcups at the server without a default before anything asks it.
    const QByteArray server = qgetenv("ZARNEL_CUPS_NODEFAULT");
    if (!server.isEmpty())
        qputenv("CUPS_SERVER", server);
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    QApplication app(argc, argv);
    tst_printNoDefault test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printNoDefault.moc"
