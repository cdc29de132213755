// Correcting the polygon being entered from the keyboard: real key presses to whichever
// strip control has the focus, the retained drawing compared pixel for pixel with one made
// by entering the shorter list.
#include "coordinates/frmCoordinates.h"
#include "plotter/Module.h"
#include "plotter/frmMain.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QtTest>

using plotter::frmMain;
using Presses = QList<QPoint>;

namespace {

frmMain& freshWindow()
{
    frmMain::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmMain& window = frmMain::instance();
    window.Show();
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("main window never became active");
    return window;
}

void click(QWidget& window, QPoint at)
{
    QTest::mouseMove(&window, at);
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
}

frmMain& windowWith(const Presses& presses)
{
    frmMain& window = freshWindow();
    for (const QPoint& at : presses)
        click(window, at);
    return window;
}

// The key as the user types it: to the control with the focus (none: the window).
void press(frmMain& window, const QString& focus, int key,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1)
{
    if (!focus.isEmpty()) {
        auto* control = window.findChild<QWidget*>(focus);
        QVERIFY(control);
        control->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(control->hasFocus());
    }
    for (int i = 0; i < times; ++i) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }
}

// The plane as the X server shows it, and as the window paints it now, in device pixels.
QImage shownPlane(frmMain& window)
{
    const qreal dpr = window.devicePixelRatioF();
    QImage shown = window.screen()->grabWindow(window.winId(), 0, 0, 1201, 600).toImage();
    shown = shown.convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1);
    return shown.copy(0, 0, qRound(1201 * dpr), qRound(600 * dpr));
}

QImage renderedPlane(frmMain& window)
{
    QImage painted = window.grab(QRect(0, 0, 1201, 600)).toImage().convertToFormat(QImage::Format_RGB32);
    painted.setDevicePixelRatio(1);
    return painted;
}

QString caption(const frmMain& window)
{
    return window.findChild<QLabel*>(QStringLiteral("lblArea"))->text();
}

const Presses kZigzag{{150, 450}, {300, 450}, {90, 480}, {210, 420}, {600, 120}};

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

    void takesBackTheLastVertex_data()
    {
        QTest::addColumn<Presses>("presses");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("times");
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        QTest::newRow("backspace, slider focused") << kZigzag << "Slider" << int(Qt::Key_Backspace) << none << 1;
        QTest::newRow("ctrl+z, option focused") << kZigzag << "o3" << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::ControlModifier) << 1;
        // The edges taken back cross the axes, the "0" and "1" labels and earlier edges.
        QTest::newRow("across labels, Quit focused") << kZigzag << "Quit" << int(Qt::Key_Backspace) << none << 2;
        QTest::newRow("to no vertex, Capture focused") << kZigzag.mid(0, 2) << "Capture" << int(Qt::Key_Backspace) << none << 2;
        QTest::newRow("more presses than vertices") << kZigzag.mid(0, 1) << "cmdCoordinateList" << int(Qt::Key_Backspace) << none << 3;
        QTest::newRow("scattered, eight back") << scattered(80) << "Slider" << int(Qt::Key_Backspace) << none << 8;
        QTest::newRow("nothing focused") << kZigzag << QString() << int(Qt::Key_Backspace) << none << 1;
    }

    void takesBackTheLastVertex()
    {
        QFETCH(Presses, presses);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, times);
        const Presses shorter = presses.mid(0, std::max<qsizetype>(0, presses.size() - times));
        frmMain& reference = windowWith(shorter);
        const QImage expected = reference.retainedImage().copy();
        const std::vector<plotter::Vertex> expectedList = plotter::VertexList();

        frmMain& window = windowWith(presses);
        if (focus.isEmpty())
            window.setFocus();
        press(window, focus, key, modifiers, times);
        QCOMPARE(plotter::VertexList(), expectedList);
        QCOMPARE(window.retainedImage(), expected);
        // The window on the X server catches up too: the repaint covered every change.
        QTRY_COMPARE(shownPlane(window), renderedPlane(window));
    }

    void bandRunsFromTheNewLastVertex()
    {
        frmMain& window = windowWith({{150, 450}, {240, 450}, {240, 330}, {180, 300}});
        const auto& band = window.rubberBand();
        QTest::mouseMove(&window, {152, 448}); // onto vertex 1: the band turns dark blue
        press(window, "o1", Qt::Key_Backspace);
        QVERIFY(band.isVisible());
        QCOMPARE(band.line(), QLineF(240, 330, 150, 450));
        QCOMPARE(band.borderColor(), QColor(0, 0, 192));
        press(window, "o1", Qt::Key_Backspace); // two vertices cannot close
        QCOMPARE(band.line(), QLineF(240, 450, 150, 450));
        QCOMPARE(band.borderColor(), QColor(192, 0, 192));
        press(window, "o1", Qt::Key_Backspace, Qt::NoModifier, 2);
        QVERIFY(!band.isVisible());
    }

    void escapeAbandonsThePolygon_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("slider") << "Slider";
        QTest::newRow("option") << "o2";
        QTest::newRow("button") << "cmdCoordinateList";
    }

    void escapeAbandonsThePolygon()
    {
        QFETCH(QString, focus);
        const QImage startUp = freshWindow().retainedImage().copy();
        frmMain& window = windowWith(kZigzag);
        QTest::mouseMove(&window, {500, 200});
        press(window, focus, Qt::Key_Escape);
        QVERIFY(plotter::VertexList().empty());
        QVERIFY(!window.rubberBand().isVisible());
        QCOMPARE(window.retainedImage(), startUp);
    }

    void closedPolygonIgnoresTheKeys()
    {
        frmMain& window = windowWith({{150, 450}, {240, 450}, {240, 330}, {150, 450}});
        const QImage closed = window.retainedImage().copy();
        press(window, "Slider", Qt::Key_Backspace);
        press(window, "Slider", Qt::Key_Z, Qt::ControlModifier);
        press(window, "Slider", Qt::Key_Escape);
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));
        QCOMPARE(plotter::VertexList().size(), std::size_t(3));
        QCOMPARE(window.retainedImage(), closed);
    }

    // A misplaced corner taken back: the area and the coordinate list come out right.
    void correctedTraceMeasuresRight()
    {
        frmMain& window = windowWith({{150, 450}, {240, 450}, {330, 300}});
        press(window, "o1", Qt::Key_Backspace);
        click(window, {240, 330});
        click(window, {150, 450});
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));

        QTest::mouseClick(window.findChild<QPushButton*>("cmdCoordinateList"), Qt::LeftButton);
        auto& list = coordinates::frmCoordinates::instance();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* items = list.findChild<QListWidget*>(QStringLiteral("List1"));
        QStringList lines;
        for (int i = 0; i < items->count(); ++i)
            lines << items->item(i)->text();
        list.close();
        QCOMPARE(lines, (QStringList{"(0, 0)", "(3, 0)", "(3, 4)"}));
    }
};

QTEST_MAIN(tst_traceKeys)
#include "tst_traceKeys.moc"
