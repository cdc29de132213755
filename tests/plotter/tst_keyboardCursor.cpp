// The keyboard cursor on the main window's plane: real key presses to whichever strip control
// has the focus, and through the X server (xdotool). The _atspi run has assistive technology
// on, so the announcements a screen reader gets can be counted.
#include "MainWindow.h"
#include "NotInThisRun.h"
#include "PointerMoves.h"

#include "plotter/frmMain.h"
#include "vertices/Module.h"

#include <QAccessible>
#include <QLabel>
#include <QPaintEvent>
#include <QProcess>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include <cmath>

using namespace testsupport;
using plotter::frmMain;
using Keys = QList<QKeyCombination>;

namespace {

const auto kRight = Qt::CTRL | Qt::Key_Right, kUp = Qt::CTRL | Qt::Key_Up;
const auto kLeft = Qt::CTRL | Qt::Key_Left, kDown = Qt::CTRL | Qt::Key_Down;
const auto kShift = Qt::CTRL | Qt::SHIFT;

void typeFrom(frmMain& window, const QString& focus, const Keys& keys)
{
    window.findChild<QWidget*>(focus)->setFocus(Qt::TabFocusReason);
    Type(window, keys);
}

QStringList announced; // descriptions of the main window, as assistive technology hears them
void recordDescription(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::DescriptionChanged)
        announced << event->accessibleInterface()->text(QAccessible::Description);
}

} // namespace

class tst_keyboardCursor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Steps at each snap from the origin or the last vertex, stopping at the plane's edges,
    // read out in the list's format; the focus, the slider, the options and the drawing stay.
    void steps_data()
    {
        QTest::addColumn<QList<QPoint>>("presses");
        QTest::addColumn<QString>("snap");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QString>("described");
        const QList<QPoint> none;
        QTest::newRow("whole") << none << "o1"
                               << "Capture" << Keys {kRight, kRight, kUp} << QPointF(210, 420)
                               << "(2, 1)";
        QTest::newRow("half") << none << "o2"
                              << "Slider" << Keys {kRight, kUp} << QPointF(165, 435)
                              << "(0.5, 0.5)";
        QTest::newRow("quarter") << none << "o3"
                                 << "o3" << Keys {kLeft} << QPointF(142.5, 450) << "(-0.25, 0)";
        QTest::newRow("fifth, shift for a unit, from the last vertex")
            << QList<QPoint> {{600, 300}, {630, 270}} << "o4"
            << "Quit" << Keys {kShift | Qt::Key_Down, kUp} << QPointF(630, 294) << "(16, 5.2)";
        QTest::newRow("clamped bottom left")
            << none << "o1"
            << "Slider" << Keys(7, kShift | Qt::Key_Down) + Keys(6, kLeft) << QPointF(0, 600)
            << "(-5, -5)";
        QTest::newRow("clamped top right")
            << none << "o2"
            << "o2" << Keys(41, kShift | Qt::Key_Right) + Keys(31, kUp) << QPointF(1200, 0)
            << "(35, 15)";
    }

    void steps()
    {
        QFETCH(QList<QPoint>, presses);
        QFETCH(QString, snap);
        QFETCH(QString, focus);
        QFETCH(Keys, keys);
        QFETCH(QPointF, at);
        QFETCH(QString, described);
        frmMain& window = FreshMainWindow(presses, snap);
        const std::vector<plotter::Vertex> vertices = plotter::VertexList();
        const QImage plane = window.retainedImage().copy();
        typeFrom(window, focus, keys);
        QCOMPARE(window.keyboardCursor().position(), at);
        QCOMPARE(window.accessibleDescription(), described);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(window.findChild<QRadioButton*>(snap)->isChecked());
        QCOMPARE(window.findChild<QSlider*>("Slider")->value(), 255);
        QCOMPARE(plotter::VertexList(), vertices);
        QCOMPARE(window.retainedImage(), plane); // drawn above the plane, never into it
        // On the upright arm, on its side towards the middle of the plane.
        const QPointF arm = (at + QPointF(0, at.y() > 300 ? -4 : 4)) * window.devicePixelRatioF();
        const QPoint pixel(int(std::floor(arm.x())), int(std::floor(arm.y())));
        QTRY_COMPARE(window.grab().toImage().pixelColor(pixel), QColor(0, 128, 0));
    }

    // A step repaints the cross where it was and where it is, and nothing else.
    void stepRepaintsItsBoundsOnly()
    {
        frmMain& window = FreshMainWindow();
        typeFrom(window, "o1", {kRight});
        const QRegion before = window.keyboardCursor().region();
        QCoreApplication::processEvents();
        struct : QObject {
            QRegion painted;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent*>(event)->region();
                return false;
            }
        } recorder;
        window.installEventFilter(&recorder);
        typeFrom(window, "o1", {kUp});
        const QRegion after = window.keyboardCursor().region();
        QTRY_VERIFY(recorder.painted.contains(after.boundingRect()));
        QVERIFY((recorder.painted - (before + after)).isEmpty());
        QVERIFY(before.boundingRect().width() < 30);
        window.removeEventFilter(&recorder);
    }

    // With no mouse: the 3-4-5 triangle through the X server's keyboard. Then the pointer
    // takes over (Qt repeating where it rests is no move of it).
    void entersAndClosesATriangle()
    {
        frmMain& window = FreshMainWindow();
        QProcess xdotool;
        xdotool.start("xdotool",
                      QString("key --delay 5 ctrl+Return ctrl+Return ctrl+Right ctrl+Right "
                              "ctrl+Right ctrl+KP_Enter ctrl+Up ctrl+Up ctrl+Up ctrl+Up "
                              "ctrl+space ctrl+shift+Left ctrl+Left ctrl+Left ctrl+Down "
                              "ctrl+Down ctrl+Down ctrl+Down")
                          .split(' '));
        if (!xdotool.waitForFinished(10000) || xdotool.exitCode() != 0)
            QSKIP("xdotool cannot drive this X server");
        QTRY_COMPARE(window.keyboardCursor().position(), QPointF(150, 450));
        QCOMPARE(plotter::VertexList(),
                 (std::vector<plotter::Vertex> {{150, 450}, {240, 450}, {240, 330}}));
        QCOMPARE(window.rubberBand().line(), QLineF(240, 330, 150, 450));
        QCOMPARE(window.rubberBand().borderColor(), QColor(0, 0, 192)); // on vertex 1
        typeFrom(window, "cmdCoordinateList", {Qt::CTRL | Qt::Key_Return});
        QCOMPARE(window.findChild<QLabel*>("lblArea")->text(), QStringLiteral("Area: 6"));

        const QPointF rest = window.mapFromGlobal(QCursor::pos(window.screen()));
        QMouseEvent repeated(QEvent::MouseMove, rest, window.mapToGlobal(rest), Qt::NoButton,
                             Qt::NoButton, {});
        QApplication::sendEvent(&window, &repeated);
        QVERIFY(window.keyboardCursor().isVisible());
        QVERIFY(MovePointer(window, {450, 150}));
        QVERIFY(!window.keyboardCursor().isVisible());
        QVERIFY(window.accessibleDescription().isEmpty());
    }

    // Each new place is announced once; a press where the cursor is announces nothing new.
    void announcesEachNewPlace()
    {
        if (qEnvironmentVariableIsEmpty("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"))
            ZARNEL_NOT_IN_THIS_RUN("assistive technology is on in the _atspi run");
        // A desktop's accessibility bus runs before any program asks for it; Qt joins it
        // when it comes up.
        QProcess bus;
        bus.start("gdbus", QString("call --session --dest org.a11y.Bus --object-path /org/a11y/bus "
                                   "--method org.a11y.Bus.GetAddress")
                               .split(' '));
        QVERIFY(bus.waitForFinished(10000) && bus.exitCode() == 0);
        QTRY_VERIFY(QAccessible::isActive());
        frmMain& window = FreshMainWindow();
        announced.clear();
        const auto previous = QAccessible::installUpdateHandler(recordDescription);
        typeFrom(window, "Slider", {kRight, Qt::CTRL | Qt::Key_Return, kDown});
        QAccessible::installUpdateHandler(previous);
        QCOMPARE(announced, (QStringList {"(1, 0)", "(1, -1)"}));
    }
};

QTEST_MAIN(tst_keyboardCursor)
#include "tst_keyboardCursor.moc"
