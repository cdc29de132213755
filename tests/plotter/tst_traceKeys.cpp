// Correcting the polygon being entered from the keyboard: real key presses to whichever
// strip control has the focus; the drawing must equal one made by entering the shorter list.
#include "PointerMoves.h"

#include "coordinates/frmCoordinates.h"
#include "plotter/frmMain.h"
#include "vertices/Module.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QtTest>

using plotter::frmMain;
using Presses = QList<QPoint>;

namespace {

// A freshly loaded main window with these presses on its plane.
frmMain& windowWith(const Presses& presses)
{
    frmMain::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmMain& window = frmMain::instance();
    window.Show();
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("main window never became active");
    for (const QPoint& at : presses) {
        if (!MovePointer(window, at))
            qFatal("the pointer never reached the plane");
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
    }
    return window;
}

// The key as the user types it, to the control with the focus (none: the window).
void press(frmMain& window, const QString& focus, const QKeySequence& key, int times = 1)
{
    if (!focus.isEmpty())
        window.findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < times; ++i) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
    }
}

// The plane in device pixels as the X server shows it (or, with fromServer false, as
// the window paints it now).
QImage plane(frmMain& window, bool fromServer)
{
    const QImage image
        = fromServer ? window.screen()->grabWindow(window.winId(), 0, 0, 1201, 600).toImage()
                     : window.grab(QRect(0, 0, 1201, 600)).toImage();
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    rgb.setDevicePixelRatio(1);
    return rgb.copy(QRect(QPoint(), (QSizeF(1201, 600) * window.devicePixelRatioF()).toSize()));
}

const Presses kZigzag {{150, 450}, {300, 450}, {90, 480}, {210, 420}, {600, 120}};
const Presses kClosed {{150, 450}, {240, 450}, {240, 330}, {150, 450}};

// Long edges at every slope, crossing and grazing each other; never back on vertex 1.
Presses scattered(int count)
{
    QRandomGenerator random(7);
    Presses presses;
    while (presses.size() < count) {
        const QPoint at(30 * random.bounded(41), 30 * random.bounded(21));
        if (presses.isEmpty() || at != presses.front())
            presses << at;
    }
    return presses;
}

} // namespace

class tst_traceKeys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void corrections_data()
    {
        QTest::addColumn<Presses>("presses");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("kept"); // presses the drawing then equals
        const QKeySequence back(Qt::Key_Backspace), escape(Qt::Key_Escape);
        QTest::newRow("backspace, slider") << kZigzag << "Slider" << back << 1 << 4;
        QTest::newRow("ctrl+z, option")
            << kZigzag << "o3" << QKeySequence(Qt::CTRL | Qt::Key_Z) << 1 << 4;
        // The edges taken back cross the axes, the "0" and "1" labels and earlier edges.
        QTest::newRow("across labels, Quit") << kZigzag << "Quit" << back << 2 << 3;
        QTest::newRow("to no vertex, Capture") << kZigzag.mid(0, 2) << "Capture" << back << 2 << 0;
        QTest::newRow("more than there are")
            << kZigzag.mid(0, 1) << "cmdCoordinateList" << back << 3 << 0;
        QTest::newRow("scattered, eight back") << scattered(80) << "Slider" << back << 8 << 72;
        QTest::newRow("nothing focused") << kZigzag << QString() << back << 1 << 4;
        QTest::newRow("escape, slider") << kZigzag << "Slider" << escape << 1 << 0;
        QTest::newRow("escape, button") << kZigzag << "cmdCoordinateList" << escape << 1 << 0;
        QTest::newRow("closed, backspace") << kClosed << "Slider" << back << 1 << 4;
        QTest::newRow("closed, escape") << kClosed << "o2" << escape << 1 << 4;
    }

    void corrections()
    {
        QFETCH(Presses, presses);
        QFETCH(QString, focus);
        QFETCH(QKeySequence, key);
        QFETCH(int, times);
        QFETCH(int, kept);
        frmMain& reference = windowWith(presses.mid(0, kept));
        const QImage expected = reference.retainedImage().copy();
        const std::vector<plotter::Vertex> expectedList = plotter::VertexList();

        frmMain& window = windowWith(presses);
        press(window, focus, key, times);
        QCOMPARE(plotter::VertexList(), expectedList);
        QCOMPARE(window.retainedImage(), expected);
        // The window on the X server catches up too: the repaint covered every change.
        QTRY_COMPARE(plane(window, true), plane(window, false));
    }

    void bandRunsFromTheNewLastVertex()
    {
        frmMain& window = windowWith({{150, 450}, {240, 450}, {240, 330}, {180, 300}});
        const auto& band = window.rubberBand();
        QVERIFY(MovePointer(window, {152, 448})); // onto vertex 1: the band turns dark blue
        press(window, "o1", QKeySequence(Qt::Key_Backspace));
        QCOMPARE(band.line(), QLineF(240, 330, 150, 450));
        QCOMPARE(band.borderColor(), QColor(0, 0, 192));
        press(window, "o1", QKeySequence(Qt::Key_Backspace)); // two vertices cannot close
        QCOMPARE(band.line(), QLineF(240, 450, 150, 450));
        QCOMPARE(band.borderColor(), QColor(192, 0, 192));
        QVERIFY(band.isVisible());
        press(window, "o1", QKeySequence(Qt::Key_Escape));
        QVERIFY(!band.isVisible());
    }

    // A misplaced corner taken back: the area and the coordinate list come out right.
    void correctedTraceMeasuresRight()
    {
        frmMain& window = windowWith({{150, 450}, {240, 450}, {330, 300}});
        press(window, "o1", QKeySequence(Qt::Key_Backspace));
        for (const QPoint at : {QPoint(240, 330), QPoint(150, 450)})
            QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(window.findChild<QLabel*>("lblArea")->text(), QStringLiteral("Area: 6"));

        QTest::mouseClick(window.findChild<QPushButton*>("cmdCoordinateList"), Qt::LeftButton);
        auto& list = coordinates::frmCoordinates::instance();
        auto* items = list.findChild<QListWidget*>(QStringLiteral("List1"));
        QStringList lines;
        for (int i = 0; i < items->count(); ++i)
            lines << items->item(i)->text();
        list.close();
        QCOMPARE(lines, (QStringList {"(0, 0)", "(3, 0)", "(3, 4)"}));
    }
};

QTEST_MAIN(tst_traceKeys)
#include "tst_traceKeys.moc"
