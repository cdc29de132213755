#include "NotInThisRun.h"
#include "PointerMoves.h"

#include "plotter/frmMain.h"
#include "vertices/Module.h"

#include "capture/grab/ScreenSettle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/FormInstance.h"

#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using plotter::frmMain;
using plotter::Vertex;

namespace {

const QColor kGrey(128, 128, 128);
const QColor kRed(192, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kBand(192, 0, 192);
const QColor kBandOnFirst(0, 0, 192);

// Unloads the main window, so the next use builds it afresh from its design.
frmMain& freshWindow()
{
    frmMain& current = frmMain::instance();
    current.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmMain& window = frmMain::instance();
    window.Show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("main window never exposed");
    return window;
}

// True when a device pixel within one device pixel of the logical point has the colour.
bool colourNear(const QImage& image, QPointF logical, const QColor& colour)
{
    const qreal dpr = image.devicePixelRatio();
    const int cx = qRound(logical.x() * dpr), cy = qRound(logical.y() * dpr);
    for (int y = cy - 1; y <= cy + 1; ++y)
        for (int x = cx - 1; x <= cx + 1; ++x)
            if (image.rect().contains(x, y) && image.pixelColor(x, y) == colour)
                return true;
    return false;
}

bool imageHasColour(const QImage& image, const QColor& colour)
{
    const QRgb wanted = colour.rgb();
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] | 0xff000000u) == wanted)
                return true;
    }
    return false;
}

void click(QWidget& window, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    if (!MovePointer(window, at))
        qWarning("the pointer move to (%d, %d) never arrived", at.x(), at.y());
    QTest::mouseClick(&window, button, Qt::NoModifier, at);
}

// Runs xdotool against the X server, so input arrives as a user's would.
bool xdotool(const QStringList& args)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (program.isEmpty())
        return false;
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

// A window property as xprop prints it.
QString xprop(const QWidget& window, const char* property)
{
    QProcess process;
    process.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()),
                                            QString::fromLatin1(property)});
    process.waitForFinished(10000);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

QString caption(const frmMain& window)
{
    return window.findChild<QLabel*>(QStringLiteral("lblArea"))->text();
}

// Counts the mouse button releases that reach one window.
class ReleaseCounter : public QObject {
public:
    explicit ReleaseCounter(QWidget& window) { window.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::MouseButtonRelease;
        return false;
    }
};

// Records the region of every paint of one widget.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget& widget) { widget.installEventFilter(this); }
    QRegion painted;
    qint64 area() const
    {
        qint64 sum = 0;
        for (const QRect& r : painted)
            sum += qint64(r.width()) * r.height();
        return sum;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace

class tst_frmmain : public QObject {
    Q_OBJECT
private slots:
    void windowDesign()
    {
        frmMain& window = freshWindow();
        QCOMPARE(window.windowTitle(), QStringLiteral("Zarnel"));
        QCOMPARE(window.size(), QSize(1201, 639));
        QCOMPARE(window.minimumSize(), window.maximumSize()); // not resizable by dragging
        QVERIFY(!window.windowIcon().isNull());
        // Assistive technology hears a window (AT-SPI: a frame) named by its caption.
        QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window);
        QCOMPARE(frame->role(), QAccessible::Window);
        QCOMPARE(frame->text(QAccessible::Name), QStringLiteral("Zarnel"));

        const struct {
            const char* name;
            QRect geometry;
        } placed[] = {
            {"Shape1", {0, 600, 1201, 41}},  {"o1", {56, 608, 41, 17}},
            {"o2", {88, 608, 41, 17}},       {"o3", {128, 608, 41, 17}},
            {"o4", {168, 608, 41, 17}},      {"Slider", {376, 608, 233, 17}},
            {"Capture", {624, 608, 97, 25}}, {"cmdCoordinateList", {968, 608, 97, 24}},
            {"Quit", {1096, 608, 97, 25}},
        };
        for (const auto& control : placed) {
            QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(control.name));
            QVERIFY2(widget, control.name);
            QCOMPARE(widget->geometry(), control.geometry);
        }
        QCOMPARE(window.findChild<QLabel*>("lblArea")->pos(), QPoint(744, 608));
        QCOMPARE(caption(window), QStringLiteral("Area:"));
        QVERIFY(window.findChild<QLabel*>("lblArea")->font().bold());
        QVERIFY(window.findChild<QRadioButton*>("o1")->isChecked());
        QCOMPARE(window.findChild<QPushButton*>("cmdCoordinateList")->text(),
                 QStringLiteral("Coordinate LIst"));

        auto* slider = window.findChild<QSlider*>("Slider");
        QCOMPARE(slider->minimum(), 100);
        QCOMPARE(slider->maximum(), 255);
        QCOMPARE(slider->value(), 255);
        QCOMPARE(slider->tickInterval(), 20);
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), 5);

        // Centred on the screen.
        const QPoint centre = window.screen()->availableGeometry().center();
        QVERIFY((window.frameGeometry().center() - centre).manhattanLength() <= 2);
    }

    void focusStartsOnCoordinateList()
    {
        frmMain& window = freshWindow();
        QTRY_COMPARE(QApplication::focusWidget(),
                     window.findChild<QWidget*>(QStringLiteral("cmdCoordinateList")));
    }

    // A press on a control never reaches the plane, whatever the button: not as a new
    // vertex, and not as the start of a new polygon that throws the area away.
    void pressesOnControlsLeaveThePlane_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::MouseButton>("button");
        for (const char* label : {"Label1", "Label1a", "lblArea"})
            QTest::newRow(label) << QString::fromLatin1(label) << Qt::LeftButton;
        for (const char* control : {"Quit", "Capture", "cmdCoordinateList", "Slider", "o2"}) {
            QTest::addRow("%s-right", control) << QString::fromLatin1(control) << Qt::RightButton;
            QTest::addRow("%s-middle", control) << QString::fromLatin1(control) << Qt::MiddleButton;
        }
    }

    void pressesOnControlsLeaveThePlane()
    {
        QFETCH(QString, control);
        QFETCH(Qt::MouseButton, button);
        frmMain& window = freshWindow();
        for (QPoint p : {QPoint(150, 450), QPoint(240, 450), QPoint(240, 330), QPoint(150, 450)})
            click(window, p);
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));

        // Near the control's top edge: a press there would snap onto the plane's edge.
        const QWidget* target = window.findChild<QWidget*>(control);
        QVERIFY(target);
        const QPoint at(target->geometry().center().x(), target->y() + 3);
        QCOMPARE(window.childAt(at), target);
        click(window, at, button); // delivered at once: no later event can change this
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));
        QCOMPARE(plotter::VertexList().size(), std::size_t(3));
    }

    void doubleClickKeepsTheClosedPolygon()
    {
        frmMain& window = freshWindow();
        for (QPoint p : {QPoint(150, 450), QPoint(240, 450), QPoint(240, 330)})
            click(window, p);
        const QPoint first = window.mapToGlobal(QPoint(150, 450)) * window.devicePixelRatioF();
        ReleaseCounter releases(window);
        if (!xdotool({"mousemove", QString::number(first.x()), QString::number(first.y()), "click",
                      "--repeat", "2", "--delay", "40", "1"}))
            QSKIP("xdotool cannot drive this X server");
        // Both releases delivered: the whole double click has been handled.
        QTRY_COMPARE(releases.count, 2);
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));
        QCOMPARE(plotter::VertexList().size(), std::size_t(3));
    }

    // Window managers keep a transient window above its owner and minimise it with it.
    void modalWindowsAreTransient_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("form");
        QTest::newRow("list") << "cmdCoordinateList"
                              << "frmCoordinates";
        QTest::newRow("viewer") << "Capture"
                                << "frmScreenCapture";
    }

    void modalWindowsAreTransient()
    {
        QFETCH(QString, button);
        QFETCH(QString, form);
        frmMain& window = freshWindow();
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        const auto unload = qScopeGuard([&modal] {
            if (modal)
                modal->close();
        });
        QCOMPARE(modal->objectName(), form);
        QVERIFY(QTest::qWaitForWindowExposed(modal));
        // Centred by its whole frame, title bar included, when a window manager frames it.
        const QPoint centre = modal->screen()->availableGeometry().center();
        QTRY_VERIFY2((modal->frameGeometry().center() - centre).manhattanLength() <= 2,
                     qPrintable(QStringLiteral("%1,%2")
                                    .arg(modal->frameGeometry().center().x())
                                    .arg(modal->frameGeometry().center().y())));
        const QString owner = QStringLiteral("0x%1").arg(window.winId(), 0, 16);
        QVERIFY2(xprop(*modal, "WM_TRANSIENT_FOR").endsWith(owner),
                 qPrintable(xprop(*modal, "WM_TRANSIENT_FOR") + " " + owner));
    }

    // Once it has captured, the viewer is an ordinary window: raising the main window
    // brings it above the viewer, which keeps its place.
    void mainWindowRisesAboveTheViewerAfterACapture()
    {
        const auto stacking = [] {
            QProcess process;
            process.start(QStringLiteral("xprop"),
                          {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
            process.waitForFinished(10000);
            return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
        };
        if (!stacking().contains(QLatin1String("window id")))
            ZARNEL_NOT_IN_THIS_RUN("no window manager keeps a stacking order here");
        frmMain& window = freshWindow();
        QTest::mouseClick(window.findChild<QPushButton*>("Capture"), Qt::LeftButton);
        QPointer<capture::frmScreenCapture> viewer = capture::frmScreenCapture::loaded();
        QVERIFY(viewer);
        const auto unload = qScopeGuard([&viewer] {
            if (viewer)
                viewer->close();
        });
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        viewer->mnuFullScreen_Click();
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        QVERIFY(!viewer->picture().isNull());
        const QPoint placed = viewer->pos();
        // Stacked by the clients' own ids: the manager lists client windows, not frames.
        const auto id
            = [](const QWidget& w) { return QStringLiteral("0x%1").arg(w.winId(), 0, 16); };
        const auto above = [&] {
            const QString order = stacking();
            const qsizetype main = order.indexOf(id(window)), shown = order.indexOf(id(*viewer));
            return main >= 0 && shown >= 0 && main > shown;
        };
        QTRY_VERIFY(!above()); // the viewer came back on top
        window.raise();
        window.activateWindow();
        QTRY_VERIFY2(above(), qPrintable(stacking()));
        QCOMPARE(viewer->pos(), placed);
        QVERIFY(viewer->isVisible());
    }

    void focusOrder()
    {
        frmMain& window = freshWindow();
        QStringList order;
        QWidget* widget = window.findChild<QWidget*>("cmdCoordinateList");
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget->objectName() != QLatin1String("cmdCoordinateList"));
        QCOMPARE(order, (QStringList {"cmdCoordinateList", "o1", "o2", "o3", "o4", "Quit", "Slider",
                                      "Capture"}));
    }

    void planeDrawing()
    {
        frmMain& window = freshWindow();
        const QImage& plane = window.retainedImage();
        QCOMPARE(plane.deviceIndependentSize().toSize(), QSize(1201, 639));
        QVERIFY(colourNear(plane, {30, 15}, kGrey)); // vertical grid line at x = 30
        QVERIFY(colourNear(plane, {1200, 300}, kGrey)); // the last vertical line
        QVERIFY(colourNear(plane, {75, 30}, kGrey)); // horizontal line at y = 30
        QVERIFY(!colourNear(plane, {45, 45}, kGrey)); // inside a cell
        QVERIFY(colourNear(plane, {600, 450}, Qt::black)); // x axis
        QVERIFY(colourNear(plane, {150, 300}, Qt::black)); // y axis
        QVERIFY(colourNear(plane, {145, 5}, Qt::black)); // top arrow head
        QVERIFY(colourNear(plane, {1195, 455}, Qt::black)); // right arrow head
        QCOMPARE(window.DrawWidth(), 2);
        QVERIFY(plotter::VertexList().empty());

        // The on-screen window shows the retained plane (it survives being repainted).
        window.repaint();
        const QImage shown = window.grab(QRect(0, 0, 1201, 600)).toImage();
        QVERIFY(colourNear(shown, {600, 450}, Qt::black));
        QVERIFY(colourNear(shown, {30, 15}, kGrey));
    }

    void plotsTheRightTriangle()
    {
        frmMain& window = freshWindow();
        click(window, {150, 450});
        QVERIFY(colourNear(window.retainedImage(), {150, 450}, kRed)); // dot at vertex 1
        click(window, {241, 452});
        click(window, {238, 331});
        QCOMPARE(plotter::VertexList(), (std::vector<Vertex> {{150, 450}, {240, 450}, {240, 330}}));
        QVERIFY(colourNear(window.retainedImage(), {240, 390}, kRed)); // edge 2-3

        click(window, {152, 447}); // snaps onto vertex 1: closes
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));
        QCOMPARE(plotter::VertexList().size(), std::size_t(3)); // the close is no vertex
        QVERIFY(colourNear(window.retainedImage(), {240, 390}, kBlue));
        QVERIFY(colourNear(window.retainedImage(), {195, 390}, kBlue)); // closing edge
        QVERIFY(colourNear(window.retainedImage(), {195, 450}, kBlue));
        QVERIFY(!window.rubberBand().isVisible());
    }

    void rubberBandFollowsThePointer()
    {
        frmMain& window = freshWindow();
        click(window, {150, 450});
        QVERIFY(MovePointer(window, {303, 298}));
        QTRY_VERIFY(window.rubberBand().isVisible());
        QCOMPARE(window.rubberBand().line(), QLineF(150, 450, 300, 300));
        QCOMPARE(window.rubberBand().borderColor(), kBand);
        QVERIFY(colourNear(window.grab().toImage(), {225, 375}, kBand));
        QVERIFY(!imageHasColour(window.retainedImage(), kBand)); // never part of the plane

        click(window, {300, 450});
        click(window, {300, 300});
        QVERIFY(MovePointer(window, {151, 449}));
        QTRY_COMPARE(window.rubberBand().borderColor(), kBandOnFirst);
        QVERIFY(MovePointer(window, {120, 449}));
        QTRY_COMPARE(window.rubberBand().borderColor(), kBand);

        // Below the plane the band keeps its state.
        const QLineF before = window.rubberBand().line();
        QVERIFY(MovePointer(window, {400, 620}));
        QCOMPARE(window.rubberBand().line(), before);
    }

    void bandMovesRepaintLittle()
    {
        frmMain& window = freshWindow();
        click(window, {600, 300});
        QVERIFY(MovePointer(window, {630, 330}));
        PaintRecorder recorder(window);
        for (int i = 0; i < 10; ++i) {
            QVERIFY(MovePointer(window, {630 + 3 * i, 330 + 6 * i}));
        }
        QTRY_VERIFY(!recorder.painted.isEmpty());
        // Short band moves: a few strips around the old and new lines, never the window.
        QVERIFY2(recorder.area() < 1201 * 639 / 20, qPrintable(QString::number(recorder.area())));
        QVERIFY(!recorder.painted.contains(QPoint(100, 100)));
    }

    void restartsAfterAClosedPolygon()
    {
        frmMain& window = freshWindow();
        const QImage freshPlane = window.retainedImage();
        for (QPoint p : {QPoint(150, 450), QPoint(240, 450), QPoint(240, 330), QPoint(150, 450)})
            click(window, p);
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));

        // Moves while closed never show the band.
        QVERIFY(MovePointer(window, {400, 200}));
        QVERIFY(!window.rubberBand().isVisible());

        click(window, {150, 450}); // the old vertex 1 becomes the new vertex 1
        QCOMPARE(caption(window), QStringLiteral("Area:"));
        QCOMPARE(plotter::VertexList(), (std::vector<Vertex> {{150, 450}}));

        // The plane is redrawn identically; only the new dot differs.
        QImage now = window.retainedImage();
        const qreal dpr = now.devicePixelRatio();
        QPainter mask(&now);
        mask.fillRect(QRectF(144, 444, 12, 12), Qt::white);
        mask.end();
        QImage expected = freshPlane;
        QPainter maskExpected(&expected);
        maskExpected.fillRect(QRectF(144, 444, 12, 12), Qt::white);
        maskExpected.end();
        QCOMPARE(now.size(), expected.size());
        QCOMPARE(now, expected);
        QCOMPARE(dpr, freshPlane.devicePixelRatio());
    }

    void degenerateCloseGivesZero()
    {
        frmMain& window = freshWindow();
        click(window, {150, 450});
        click(window, {240, 450});
        click(window, {150, 450}); // fewer than three vertices: stored again
        QCOMPARE(plotter::VertexList().size(), std::size_t(3));
        click(window, {150, 450});
        QCOMPARE(caption(window), QStringLiteral("Area: 0"));
    }

    void pressesBelowThePlaneAreIgnored()
    {
        frmMain& window = freshWindow();
        // On the strip's bare shape, between the area label and Coordinate LIst.
        click(window, {900, 616}); // snaps to 630
        QVERIFY(plotter::VertexList().empty());
        click(window, {900, 610}); // snaps to 600: on the lower edge
        QCOMPARE(plotter::VertexList(), (std::vector<Vertex> {{900, 600}}));
    }

    void everyButtonPlacesVertices()
    {
        frmMain& window = freshWindow();
        click(window, {150, 450}, Qt::RightButton);
        click(window, {240, 450}, Qt::MiddleButton);
        click(window, {240, 330}, Qt::LeftButton);
        click(window, {150, 450}, Qt::RightButton);
        QCOMPARE(caption(window), QStringLiteral("Area: 6"));
    }

    void snapOptionsApplyToTheNextPress()
    {
        frmMain& window = freshWindow();
        QTest::mouseClick(window.findChild<QRadioButton*>("o4"), Qt::LeftButton);
        click(window, {157, 444}); // fifths: (156, 444)
        QTest::mouseClick(window.findChild<QRadioButton*>("o3"), Qt::LeftButton);
        click(window, {157, 401}); // quarters: (157.5, 402)? 401 / 7.5 = 53.47 -> 397.5
        QTest::mouseClick(window.findChild<QRadioButton*>("o1"), Qt::LeftButton);
        click(window, {215, 385});
        QCOMPARE(plotter::VertexList(),
                 (std::vector<Vertex> {{156, 444}, {157.5f, 397.5f}, {210, 390}}));

        // Vertex 1 at x = 156 cannot be reached on the whole grid: the press is a vertex.
        click(window, {156, 444});
        QCOMPARE(plotter::VertexList().size(), std::size_t(4));
        QCOMPARE(caption(window), QStringLiteral("Area:"));
        QTest::mouseClick(window.findChild<QRadioButton*>("o4"), Qt::LeftButton);
        click(window, {156, 444});
        QVERIFY(caption(window).startsWith(QStringLiteral("Area: ")));
    }

    void sliderClickSetsOpacity()
    {
        frmMain& window = freshWindow();
        auto* slider = window.findChild<QSlider*>("Slider");
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home); // keyboard changes wait for a click
        QCOMPARE(slider->value(), 100);
        QCOMPARE(window.windowOpacity(), 1.0);

        const QRect handle(0, 0, 12, slider->height());
        QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, handle.center());
        const int value = slider->value();
        QVERIFY(value >= 100 && value <= 110);
        QCOMPARE(window.windowOpacity(), value / 255.0);

        // What a compositor reads: the window's opacity property on the X server, once the
        // change has reached it.
        const qint64 expected = qint64(value / 255.0 * 0xffffffffu);
        QString out;
        const auto serverHasIt = [&] {
            out = xprop(window, "_NET_WM_WINDOW_OPACITY");
            return qAbs(out.section(QLatin1Char('='), 1).trimmed().toLongLong() - expected) < 2;
        };
        QVERIFY2(QTest::qWaitFor(serverHasIt), qPrintable(out));
    }

    void viewerOutlivesTheMainWindow()
    {
        frmMain& window = freshWindow();
        QTest::mouseClick(window.findChild<QPushButton*>("Capture"), Qt::LeftButton);
        QPointer<QWidget> viewer = QApplication::activeModalWidget();
        QVERIFY(viewer);
        QCOMPARE(viewer->objectName(), QStringLiteral("frmScreenCapture"));
        QCOMPARE(viewer->parentWidget(), &window);
        // As after a capture: the viewer, once on the screen, has left it, and the window
        // manager has let go of it, before it comes back modeless.
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        viewer->hide();
        QTRY_VERIFY(capture::IsOffScreen(*viewer));
        forms::ShowModeless(*viewer);
        QVERIFY(QTest::qWaitForWindowExposed(viewer));

        const QRect placed = viewer->geometry();
        window.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Still loaded and shown where it was, so the program goes on running with it.
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(!viewer->parentWidget());
        QCOMPARE(viewer->geometry(), placed);

        viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!viewer);
    }

    // Last: ending the event loop is what Quit does.
    void quitEndsAtOnce()
    {
        frmMain& window = freshWindow();
        int closeEvents = 0;
        struct CloseCounter : QObject {
            int& count;
            explicit CloseCounter(int& c)
                : count(c)
            {
            }
            bool eventFilter(QObject*, QEvent* e) override
            {
                count += e->type() == QEvent::Close;
                return false;
            }
        } counter(closeEvents);
        window.installEventFilter(&counter);

        QEventLoop loop;
        QTimer::singleShot(0, &window, [&] {
            QTest::mouseClick(window.findChild<QPushButton*>("Quit"), Qt::LeftButton);
        });
        QTimer::singleShot(5000, &loop, [&] { loop.exit(42); });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(closeEvents, 0); // no window was asked whether it may close
        window.removeEventFilter(&counter);
    }
};

QTEST_MAIN(tst_frmmain)
#include "tst_frmmain.moc"
