// A coordinate list plotted again on the main window: Ctrl+V with a list another program put on
// the clipboard (xclip), a list file dropped on the window, the refusals and their messages,
// and the round trips through the coordinate list in two locales.
#include "MainWindow.h"
#include "ModalDialogs.h"
#include "PointerMoves.h"

#include "coordinates/frmCoordinates.h"
#include "plotter/frmMain.h"
#include "vertices/Module.h"

#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace testsupport;
using plotter::frmMain;
using Presses = QList<QPoint>;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates),
    kGerman(QLocale::German, QLocale::Germany);
const Presses kTriangle {{150, 450}, {240, 450}, {240, 330}};
const auto kPaste = Qt::CTRL | Qt::Key_V;

// What the plane shows: the polygon, the area label and the drawing.
using Plane = std::tuple<std::vector<plotter::Vertex>, QString, QImage>;

Plane planeOf(const frmMain& window)
{
    return {plotter::VertexList(), window.findChild<QLabel*>("lblArea")->text(),
            window.retainedImage().copy()};
}

// A drag from a file manager ending over the plane.
void drop(QWidget& window, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter({600, 300}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&window, &enter);
    QDropEvent dropped({600, 300}, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&window, &dropped);
    QVERIFY(enter.isAccepted() && dropped.isAccepted());
}

} // namespace

class tst_listPlotsAgain : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(kEnglish); }
    void cleanup() { xclip_.kill(), xclip_.waitForFinished(); }
    void initTestCase() { qputenv("HOME", QFile::encodeName(dir_.path())); }

    // Each form, pasted or dropped over whatever the plane shows, gives the plane a user gets
    // by clicking its points at the current snap (and vertex 1 again, with three or more).
    void plots_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("snap");
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Presses>("clicks");
        QTest::newRow("clipboard")
            << kEnglish << "o1" << false << "(0, 0),(3, 0),(3, 4)" << kTriangle;
        QTest::newRow("file, CR LF") << kEnglish << "o1" << true << "(0, 0)\r\n(3, 0)\r\n(3, 4)\r\n"
                                     << kTriangle;
        QTest::newRow("last is the close")
            << kEnglish << "o1" << false << "(0, 0),(3, 0),(3, 4),(0, 0)" << kTriangle;
        QTest::newRow("two stay open, LF")
            << kEnglish << "o1" << true << "(0, 0)\n(3, 0)" << kTriangle.mid(0, 2);
        QTest::newRow("the snap applies")
            << kEnglish << "o1" << false << "(0.2, 0.2),(3.1, 0),(3, 3.9)" << kTriangle;
    }

    void plots()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, snap);
        QFETCH(bool, dropped);
        QFETCH(QString, text);
        QFETCH(Presses, clicks);
        QLocale::setDefault(locale);
        const Plane expected = planeOf(
            FreshMainWindow(clicks.size() < 3 ? clicks : clicks + clicks.mid(0, 1), snap));
        frmMain& main = FreshMainWindow({{600, 150}, {660, 150}, {660, 90}, {600, 90}, {600, 150}},
                                        snap); // closed
        if (dropped) {
            drop(main, write("dropped.txt", text.toLocal8Bit()));
            QTRY_COMPARE(plotter::VertexList().size(), std::size_t(clicks.size()));
        } else {
            offer(text);
            Type(main, {kPaste});
        }
        QCOMPARE(planeOf(main), expected);
    }

    // Nothing changes, and a message says which line is wrong and why.
    void refuses_data()
    {
        QTest::addColumn<QString>("file"); // empty: the text goes on the clipboard
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString clipboard = "The clipboard holds no coordinate list to plot. ";
        QTest::newRow("words") << "" << QByteArray("pointslog")
                               << clipboard + "Line 1, \u201cpointslog\u201d, is not";
        QTest::newRow("off the plane") << "" << QByteArray("(0, 0),(3, 0),(36, 4)")
                                       << clipboard + "Line 3, \u201c(36, 4)\u201d, lies off";
        QTest::newRow("closes early")
            << "" << QByteArray("(0, 0),(3, 0),(3, 4),(0.1, 0),(5, 5)")
            << clipboard + "Line 4, \u201c(0.1, 0)\u201d, lands on the first point";
        QTest::newRow("not a list")
            << "w.txt" << QByteArray("(0, 0)\r\n3, 4\r\n")
            << "\u201cw.txt\u201d is not a coordinate list to plot. Line 2, \u201c3, 4\u201d";
        QTest::newRow("too many") << "many.txt" << QByteArray("(0, 0)\r\n").repeated(32768)
                                  << "\u201cmany.txt\u201d is not a coordinate list to plot. "
                                     "Line 32,768 is one point too many";
        QTest::newRow("over 1 MB")
            << "big.txt" << QByteArray("(0, 0)\r\n").repeated(131073)
            << "\u201cbig.txt\u201d cannot be plotted. It is larger than 1 MB";
        QTest::newRow("named pipe")
            << "pipe" << QByteArray() << "\u201cpipe\u201d cannot be plotted. It is a named pipe";
        QTest::newRow("folder") << "folder" << QByteArray()
                                << "\u201cfolder\u201d cannot be plotted. "
                                       + qt_error_string(EISDIR);
    }

    void refuses()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = dir_.filePath(file);
        if (file == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (file == "folder")
            QVERIFY(QDir(dir_.path()).mkpath(file));
        else if (!file.isEmpty())
            write(file, content);
        else
            offer(QString::fromLatin1(content));
        frmMain& main = FreshMainWindow(kTriangle + kTriangle.mid(0, 1));
        const Plane before = planeOf(main);
        const auto boxes = catchMessageBoxes(
            [&] { file.isEmpty() ? Type(main, {kPaste}) : drop(main, path); }, 1);
        QCOMPARE(boxes.size(), std::size_t(1));
        QVERIFY2(boxes[0].text.startsWith(message), qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].icon, QMessageBox::Information);
        QCOMPARE(planeOf(main), before);
    }

    // Copied or saved from the coordinate list, the list plots the same polygon with the same
    // area; the outline is concave, on the quarter grid.
    void roundTrip_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("command");
        QTest::newRow("English, copy") << kEnglish << QString("Command3");
        QTest::newRow("English, save") << kEnglish << QString("CMDSAVE");
        QTest::newRow("German, copy") << kGerman << QString("Command3");
        QTest::newRow("German, save") << kGerman << QString("CMDSAVE");
    }

    void roundTrip()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, command);
        QLocale::setDefault(locale);
        frmMain& main = FreshMainWindow(
            {{157, 457}, {397, 450}, {322, 307}, {240, 375}, {112, 330}, {157, 457}}, "o3");
        const Plane original = planeOf(main);
        QVERIFY(std::get<1>(original).contains(locale.decimalPoint())); // a fractional area

        QTest::mouseClick(main.findChild<QPushButton*>("cmdCoordinateList"), Qt::LeftButton);
        QPointer<QWidget> list = QApplication::activeModalWidget();
        QVERIFY(qobject_cast<coordinates::frmCoordinates*>(list));
        catchMessageBoxes(
            [&] { QTest::mouseClick(list->findChild<QPushButton*>(command), Qt::LeftButton); });
        Type(*list, {Qt::Key_Escape});
        QTRY_VERIFY(list.isNull());
        QCOMPARE(planeOf(main), original);

        QVERIFY(MovePointer(main, {600, 150}));
        QTest::mouseClick(&main, Qt::LeftButton, Qt::NoModifier, {600, 150}); // a new polygon
        Type(main, {Qt::Key_Escape}); // the main window's Escape still drops it
        QVERIFY(plotter::VertexList().empty());
        if (command == "CMDSAVE") {
            drop(main, coordinates::DefaultListPath());
            QTRY_VERIFY(!plotter::VertexList().empty());
        } else {
            Type(main, {kPaste});
        }
        QCOMPARE(planeOf(main), original);
    }

private:
    void offer(const QString& text) // on the clipboard, from another program
    {
        xclip_.start("xclip", {"-quiet", "-selection", "clipboard", "-i"});
        QVERIFY(xclip_.waitForStarted());
        xclip_.write(text.toUtf8());
        xclip_.closeWriteChannel();
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), text, 10000);
    }

    QString write(const QString& name, const QByteArray& content)
    {
        QFile file(dir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

    QTemporaryDir dir_;
    QProcess xclip_;
};

QTEST_MAIN(tst_listPlotsAgain)
#include "tst_listPlotsAgain.moc"
