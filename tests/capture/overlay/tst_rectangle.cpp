// The rectangle capture overlay against a real X server, driven by window-system mouse
// and key events, on a snapshot whose every pixel names its own position.
#include "NotInThisRun.h"
#include "OverlayTestSupport.h"

#include "capture/overlay/FrozenPictureBox.h"
#include "capture/overlay/RubberBand.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "forms/PictureBox.h"

#include <QPaintEvent>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include <cmath>

using capture::frmCaptureRectangle;
using namespace overlaytest;

namespace {

// Records the overlay's signals in the order they arrive.
struct Outcome {
    QList<forms::Picture> selections;
    QStringList order;
};

// Records the area repainted on a widget.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget& widget) { widget.installEventFilter(this); }
    qint64 area = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                area += qint64(r.width()) * r.height();
        }
        return false;
    }
};

qint64 perimeterArea(QPointF a, QPointF b)
{
    const QRectF band = QRectF(a, b).normalized();
    return qint64(2 * (band.width() + band.height()));
}

} // namespace

class tst_rectangle : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void liesOverTheScreen();
    void takesTheKeyboard();
    void dragSelects_data();
    void dragSelects();
    void fractionalPositionsRoundEdges_data();
    void fractionalPositionsRoundEdges();
    void clickSelectsOnePixel_data();
    void clickSelectsOnePixel();
    void leavesWithoutSelection_data();
    void leavesWithoutSelection();
    void dragRepaintsOnlyTheBand();
    void bandShowsOverTheSnapshot();
    void eachUseStartsAfresh();
    void realPointerAndKeyboard();

private:
    frmCaptureRectangle& open();
    qreal ratio() const { return QGuiApplication::primaryScreen()->devicePixelRatio(); }
    // Image pixel of a logical point, as the selection must see it.
    QPoint devicePoint(QPointF logical) const
    {
        return QPoint(int(std::lrint(logical.x() * ratio())),
                      int(std::lrint(logical.y() * ratio())));
    }

    forms::Picture snapshot_;
    QPointer<frmCaptureRectangle> form_;
    Outcome outcome_;
};

void tst_rectangle::init()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize device = (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize();
    if (snapshot_.size() != device)
        snapshot_ = pattern(device, screen->devicePixelRatio());
    outcome_ = Outcome();
}

void tst_rectangle::cleanup()
{
    if (form_)
        form_->close();
    QTRY_VERIFY(!form_);
}

frmCaptureRectangle& tst_rectangle::open()
{
    frmCaptureRectangle& form = frmCaptureRectangle::instance();
    form_ = &form;
    connect(&form, &frmCaptureRectangle::selected, this, [this](const forms::Picture& picture) {
        outcome_.selections.append(picture);
        outcome_.order.append(QStringLiteral("selected"));
    });
    connect(&form, &frmCaptureRectangle::closed, this,
            [this] { outcome_.order.append(QStringLiteral("closed")); });
    form.ShowPicture(snapshot_);
    if (!QTest::qWaitForWindowExposed(&form))
        qWarning("overlay not exposed");
    return form;
}

// The snapshot is shown pixel for pixel where it was taken: what the screen shows under the
// overlay is the snapshot itself, so the pixel under the pointer is the pixel selected.
void tst_rectangle::liesOverTheScreen()
{
    frmCaptureRectangle& form = open();
    QScreen* screen = QGuiApplication::primaryScreen();
    QCOMPARE(form.geometry(), screen->geometry());
    QCOMPARE(form.objectName(), QStringLiteral("frmCaptureRectangle"));
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!flags.testFlag(Qt::X11BypassWindowManagerHint));
    QCOMPARE(form.picture1().objectName(), QStringLiteral("Picture1"));
    QCOMPARE(form.picture1().cursor().shape(), Qt::CrossCursor);
    QCOMPARE(form.picture1().mapTo(&form, QPoint(0, 0)), QPoint(0, 0));
    QVERIFY(!form.band().isVisible());
    QVERIFY(!form.Dragging());

    QTest::qWait(50);
    const QImage onScreen = screen->grabWindow(0).toImage();
    QCOMPARE(onScreen.size(), snapshot_.size());
    QCOMPARE(differingPixels(onScreen, snapshot_), 0);
}

void tst_rectangle::takesTheKeyboard()
{
    frmCaptureRectangle& form = open();
    QTRY_COMPARE(QGuiApplication::focusWindow(), form.windowHandle());
    QTRY_COMPARE(QWidget::keyboardGrabber(), &form);
}

void tst_rectangle::dragSelects_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    // Every direction between the same two corners selects the same pixels.
    const QPointF a(101, 57), b(341, 217);
    QTest::newRow("down-right") << a << b;
    QTest::newRow("up-left") << b << a;
    QTest::newRow("up-right") << QPointF(a.x(), b.y()) << QPointF(b.x(), a.y());
    QTest::newRow("down-left") << QPointF(b.x(), a.y()) << QPointF(a.x(), b.y());
    QTest::newRow("thin") << QPointF(300, 5) << QPointF(301, 400);
    QTest::newRow("zero width is one pixel wide") << QPointF(300, 5) << QPointF(300, 400);
    QTest::newRow("zero height is one pixel high") << QPointF(3, 40) << QPointF(400, 40);
}

void tst_rectangle::dragSelects()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    frmCaptureRectangle& form = open();
    Mouse mouse(form.picture1());
    mouse.press(from);
    QVERIFY(form.Dragging());
    mouse.move((from + to) / 2);
    mouse.move(to);
    QVERIFY(form.band().isVisible());
    mouse.release(to);

    QCOMPARE(outcome_.order, QStringList({"selected", "closed"}));
    const forms::Picture picture = outcome_.selections.first();
    const QPoint corner
        = devicePoint(QPointF(std::min(from.x(), to.x()), std::min(from.y(), to.y())));
    const QSize size(std::max(1, int(std::abs(to.x() - from.x()) * ratio())),
                     std::max(1, int(std::abs(to.y() - from.y()) * ratio())));
    QCOMPARE(picture.size(), size);
    QCOMPARE(picture.devicePixelRatio(), ratio());
    QCOMPARE(picture.pixel(0, 0), patternAt(corner.x(), corner.y()));
    // Pixel for pixel the snapshot's: no band line, nothing from the live screen.
    QCOMPARE(differingPixels(picture, snapshot_.copy(QRect(corner, size))), 0);
    QTRY_VERIFY(!form_);
}

void tst_rectangle::fractionalPositionsRoundEdges_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::newRow("odd device pixels") << QPointF(100.5, 60.5) << QPointF(180.5, 91.5);
    QTest::newRow("odd device pixels, up-left") << QPointF(180.5, 91.5) << QPointF(100.5, 60.5);
    QTest::newRow("odd to even") << QPointF(10.5, 20) << QPointF(11, 20.5);
}

// With more than one device pixel per logical pixel the pointer sits between logical
// pixels; the selection must still be exactly the device pixels under it.
void tst_rectangle::fractionalPositionsRoundEdges()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    if (ratio() < 2)
        ZARNEL_NOT_IN_THIS_RUN("the window system delivers whole pixels at this ratio");
    frmCaptureRectangle& form = open();
    Mouse(form.picture1()).drag(from, to);
    QCOMPARE(outcome_.selections.size(), 1);
    const QRectF logical = QRectF(from, to).normalized();
    const QRect expected(devicePoint(logical.topLeft()),
                         devicePoint(logical.bottomRight()) - QPoint(1, 1));
    const forms::Picture picture = outcome_.selections.first();
    QCOMPARE(picture.size(), expected.size());
    QCOMPARE(differingPixels(picture, snapshot_.copy(expected)), 0);
}

void tst_rectangle::clickSelectsOnePixel_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPointF>("via");
    QTest::addColumn<QPointF>("releaseAt");
    const QPointF at(250, 130);
    QTest::newRow("left click") << Qt::LeftButton << at << at;
    QTest::newRow("left drag back to the press point") << Qt::LeftButton << QPointF(400, 300) << at;
    QTest::newRow("right button drag") << Qt::RightButton << QPointF(400, 300) << QPointF(400, 300);
    QTest::newRow("middle button drag") << Qt::MiddleButton << QPointF(10, 10) << QPointF(10, 10);
}

void tst_rectangle::clickSelectsOnePixel()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPointF, via);
    QFETCH(QPointF, releaseAt);
    frmCaptureRectangle& form = open();
    Mouse mouse(form.picture1());
    const QPointF at(250, 130);
    mouse.press(at, button);
    QCOMPARE(form.Dragging(), button == Qt::LeftButton);
    mouse.move(via);
    mouse.move(releaseAt);
    mouse.release(releaseAt, button);
    // Completed at the release itself: no wait for a possible second click.
    QCOMPARE(outcome_.order, QStringList({"selected", "closed"}));
    const forms::Picture picture = outcome_.selections.first();
    QCOMPARE(picture.size(), QSize(1, 1));
    const QPoint pixel = devicePoint(at);
    QCOMPARE(picture.pixel(0, 0), patternAt(pixel.x(), pixel.y()));
}

void tst_rectangle::leavesWithoutSelection_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("escape") << "escape";
    QTest::newRow("escape mid-drag") << "escape mid-drag";
}

// A user who started a capture by mistake leaves without a selection; the viewer then
// keeps its full snapshot.
void tst_rectangle::leavesWithoutSelection()
{
    QFETCH(QString, how);
    frmCaptureRectangle& form = open();
    Mouse mouse(form.picture1());
    const QPointF at(200, 200);
    QTRY_COMPARE(QGuiApplication::focusWindow(), form.windowHandle());
    if (how == "escape mid-drag") {
        mouse.press(at);
        mouse.move(at + QPointF(50, 50));
    }
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Escape);
    if (form_ && how == "escape mid-drag")
        mouse.release(at + QPointF(50, 50));
    QTRY_VERIFY(!form_);
    QCOMPARE(outcome_.order, QStringList({"closed"}));
}

// A band move repaints the strips of the lines it left and the lines it drew, never the
// whole snapshot.
void tst_rectangle::dragRepaintsOnlyTheBand()
{
    frmCaptureRectangle& form = open();
    QTest::qWait(50);
    PaintRecorder recorder(form.picture1());
    Mouse mouse(form.picture1());
    const QPointF anchor(400, 300);
    mouse.press(anchor);
    QPointF previous = anchor;
    qint64 allowed = 0;
    for (int step = 1; step <= 12; ++step) {
        const QPointF next = anchor + QPointF(20 * step, 12 * step);
        recorder.area = 0;
        mouse.move(next);
        QCoreApplication::processEvents();
        // Each line's strip is a few pixels wide: 16 pixels per pixel of perimeter is ample.
        const qint64 bound
            = 16 * (perimeterArea(anchor, previous) + perimeterArea(anchor, next)) + 2000;
        QVERIFY2(recorder.area <= bound, qPrintable(QStringLiteral("step %1 repainted %2 > %3")
                                                        .arg(step)
                                                        .arg(recorder.area)
                                                        .arg(bound)));
        QVERIFY(recorder.area > 0);
        allowed += bound;
        previous = next;
    }
    const qint64 screenArea = qint64(form.width()) * form.height();
    QVERIFY(allowed < screenArea);
    mouse.release(previous);
}

// The X server holds the snapshot and draws the band: on the screen the band's dotted
// edges stand over the snapshot, and where the band was before, the snapshot shows again.
void tst_rectangle::bandShowsOverTheSnapshot()
{
    frmCaptureRectangle& form = open();
    QVERIFY(static_cast<const capture::FrozenPictureBox&>(form.picture1()).onServer());
    Mouse mouse(form.picture1());
    const QPointF anchor(100, 80), pointer(300, 200);
    mouse.press(anchor);
    mouse.move(QPointF(400, 300));
    mouse.move(pointer);
    QTest::qWait(50);
    const QImage shown = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
    const QRect edges(devicePoint(anchor), devicePoint(pointer));
    int offBand = 0, onTop = 0;
    for (int y = 0; y < devicePoint(QPointF(0, 320)).y(); ++y) {
        for (int x = 0; x < devicePoint(QPointF(420, 0)).x(); ++x) {
            if (shown.pixel(x, y) == snapshot_.pixel(x, y))
                continue;
            const bool across = (y == edges.top() || y == edges.bottom()) && x >= edges.left()
                                && x <= edges.right();
            const bool down = (x == edges.left() || x == edges.right()) && y >= edges.top()
                              && y <= edges.bottom();
            offBand += !(across || down);
            onTop += y == edges.top();
        }
    }
    QCOMPARE(offBand, 0);
    // Dotted: one pixel in three.
    QVERIFY2(std::abs(onTop - edges.width() / 3) <= 2, qPrintable(QString::number(onTop)));
    mouse.release(pointer);
}

// Each capture loads the overlay afresh: nothing of the last selection carries over.
void tst_rectangle::eachUseStartsAfresh()
{
    frmCaptureRectangle& first = open();
    Mouse(first.picture1()).drag(QPointF(10, 10), QPointF(60, 40));
    QTRY_VERIFY(!form_);

    outcome_ = Outcome();
    frmCaptureRectangle& second = open();
    QVERIFY(!second.band().isVisible());
    QVERIFY(!second.Dragging());
    Mouse mouse(second.picture1());
    mouse.move(QPointF(90, 90)); // no button: nothing moves
    QVERIFY(!second.band().isVisible());
    mouse.drag(QPointF(30, 20), QPointF(35, 28));
    QCOMPARE(outcome_.selections.size(), 1);
    QCOMPARE(outcome_.selections.first().size(), QSize(5, 8) * ratio());
}

// The X server's own pointer and keyboard (xdotool speaks XTEST): the selection is the
// rectangle of screen pixels between press and release, at any device pixel ratio, and
// Escape reaches the overlay without any help from the test.
void tst_rectangle::realPointerAndKeyboard()
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        QSKIP("xdotool is not installed");
    const auto run = [&](const QStringList& args) {
        QProcess process;
        process.start(xdotool, args);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
    };
    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft() * ratio();

    frmCaptureRectangle& form = open();
    QTRY_COMPARE(QGuiApplication::focusWindow(), form.windowHandle());
    // Odd screen pixels, which lie between logical pixels at ratio 2.
    const QPoint press(201, 121), release(481, 301);
    const auto at = [&](QPoint p) {
        return QStringList {"mousemove", QString::number(origin.x() + p.x()),
                            QString::number(origin.y() + p.y())};
    };
    run(at(press) + QStringList {"mousedown", "1"});
    QTRY_VERIFY(form.Dragging());
    run(at((press + release) / 2));
    run(at(release) + QStringList {"mouseup", "1"});
    QTRY_COMPARE(outcome_.order, QStringList({"selected", "closed"}));
    const forms::Picture picture = outcome_.selections.first();
    const QRect expected(press, release - QPoint(1, 1));
    QCOMPARE(picture.size(), expected.size());
    QCOMPARE(differingPixels(picture, snapshot_.copy(expected)), 0);
    QTRY_VERIFY(!form_);

    outcome_ = Outcome();
    frmCaptureRectangle& again = open();
    QTRY_COMPARE(QGuiApplication::focusWindow(), again.windowHandle());
    run({"key", "Escape"});
    QTRY_VERIFY(!form_);
    QCOMPARE(outcome_.order, QStringList({"closed"}));
}

QTEST_MAIN(tst_rectangle)
#include "tst_rectangle.moc"
