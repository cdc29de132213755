// The screen capture primitive against a real X server: pixels of known windows at known
// places, the frame and client-area origins, the Qt fallback, and who owns the pixels.

#include "NotInThisRun.h"
#include "capture/grab/Capture.h"
#include "capture/grab/CaptureSource.h"
#include "capture/grab/QtScreenGrab.h"
#include "capture/grab/XcbShmGrab.h"

#include <QPainter>
#include <QScopeGuard>
#include <QScreen>
#include <QWidget>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace capture;

namespace {

class Swatch : public QWidget {
public:
    Swatch(const QRect& rect, QColor color, Qt::WindowFlags flags = Qt::FramelessWindowHint)
        : color_(color)
    {
        setWindowFlags(flags);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(rect);
        show();
    }
    void setColor(QColor color)
    {
        color_ = color;
        repaint();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), color_); }

private:
    QColor color_;
};

// Four quadrants: red, green / blue, yellow.
class Quadrants : public QWidget {
public:
    explicit Quadrants(const QRect& rect)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(rect);
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int w = width() / 2, h = height() / 2;
        p.fillRect(0, 0, w, h, Qt::red);
        p.fillRect(w, 0, width() - w, h, Qt::green);
        p.fillRect(0, h, w, height() - h, Qt::blue);
        p.fillRect(w, h, width() - w, height() - h, Qt::yellow);
    }
};

QColor at(const QImage& image, QPoint devicePoint)
{
    return QColor(image.pixel(devicePoint));
}

qreal dpr()
{
    return QGuiApplication::primaryScreen()->devicePixelRatio();
}

// Waits until the server has drawn what we painted.
void settle(QWidget& w)
{
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(50);
}

} // namespace

class tst_capture : public QObject {
    Q_OBJECT
private slots:
    void wholeScreen();
    void windowAreas_data();
    void windowAreas();
    void outsideTheScreenIsBlack();
    void fallbackGrabsTheSamePixels();
    void everySourceGivesTheSamePixels_data();
    void everySourceGivesTheSamePixels();
    void picturesOwnTheirPixels();
    void palette();
};

void tst_capture::wholeScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Swatch a(QRect(screen.topLeft() + QPoint(40, 60), QSize(100, 80)), QColor(200, 30, 30));
    Swatch b(QRect(screen.topLeft() + QPoint(300, 200), QSize(50, 120)), QColor(30, 30, 200));
    Swatch c(QRect(screen.bottomRight() - QPoint(59, 39), QSize(60, 40)), QColor(20, 180, 90));
    settle(a);
    settle(b);
    settle(c);

    const QImage shot = GrabWindowArea(GetDesktopWindow(), false, screen.x(), screen.y(),
                                       screen.width(), screen.height());
    QVERIFY(!shot.isNull());
    QCOMPARE(shot.size(), screen.size() * dpr());
    QCOMPARE(shot.devicePixelRatio(), dpr());
    QCOMPARE(shot.format(), QImage::Format_RGB32); // the display's own format, not converted
    QVERIFY(shot.colorTable().isEmpty()); // true colour: no palette
    for (const Swatch* s : {&a, &b, &c}) {
        const QRect g = s->geometry().translated(-screen.topLeft());
        // Inside, on the first and last device pixels; just outside, something else.
        QCOMPARE(at(shot, QPoint(g.left() * dpr(), g.top() * dpr())), at(shot, g.center() * dpr()));
        QCOMPARE(at(shot, QPoint((g.right() + 1) * dpr() - 1, (g.bottom() + 1) * dpr() - 1)),
                 at(shot, g.center() * dpr()));
    }
    QCOMPARE(at(shot, QPoint(90, 100) * dpr()), QColor(200, 30, 30));
    QCOMPARE(at(shot, QPoint(325, 260) * dpr()), QColor(30, 30, 200));
    QCOMPARE(at(shot, (screen.bottomRight() - screen.topLeft() - QPoint(5, 5)) * dpr()),
             QColor(20, 180, 90));
    QVERIFY(at(shot, QPoint(39, 100) * dpr()) != QColor(200, 30, 30));
}

void tst_capture::windowAreas_data()
{
    QTest::addColumn<QRect>("area"); // in the window's client area, logical pixels
    QTest::addColumn<QColor>("expected");
    QTest::newRow("top-left") << QRect(0, 0, 100, 60) << QColor(Qt::red);
    QTest::newRow("top-right") << QRect(100, 0, 100, 60) << QColor(Qt::green);
    QTest::newRow("bottom-left") << QRect(0, 60, 100, 60) << QColor(Qt::blue);
    QTest::newRow("bottom-right-inset") << QRect(110, 70, 30, 20) << QColor(Qt::yellow);
}

void tst_capture::windowAreas()
{
    QFETCH(QRect, area);
    QFETCH(QColor, expected);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Quadrants window(QRect(screen.topLeft() + QPoint(500, 300), QSize(200, 120)));
    settle(window);

    const QImage client
        = GrabWindowArea(window.winId(), true, area.x(), area.y(), area.width(), area.height());
    QCOMPARE(client.size(), area.size() * dpr());
    for (const QPoint p : {QPoint(0, 0), QPoint(client.width() - 1, client.height() - 1),
                           QPoint(client.width() / 2, client.height() / 2)})
        QCOMPARE(at(client, p), expected);

    // The whole window is measured from its outer frame: the same pixels as the
    // screen shows there, title bar included when a window manager draws one.
    const QRect frame = window.frameGeometry();
    const QImage outer = GrabWindowArea(window.winId(), false, 0, 0, frame.width(), frame.height());
    const QImage screenPart = GrabWindowArea(GetDesktopWindow(), false, frame.x(), frame.y(),
                                             frame.width(), frame.height());
    QCOMPARE(outer.size(), frame.size() * dpr());
    QCOMPARE(outer, screenPart);
    const QPoint clientInFrame = window.geometry().topLeft() - frame.topLeft();
    QCOMPARE(at(outer, (clientInFrame + area.topLeft()) * dpr()), expected);
}

void tst_capture::outsideTheScreenIsBlack()
{
    Swatch corner(QRect(QGuiApplication::primaryScreen()->geometry().topLeft(), QSize(40, 40)),
                  QColor(250, 120, 10));
    settle(corner);
    const QPoint origin = corner.geometry().topLeft();
    const QImage shot
        = GrabWindowArea(GetDesktopWindow(), false, origin.x() - 20, origin.y() - 20, 40, 40);
    QCOMPARE(shot.size(), QSize(40, 40) * dpr());
    QCOMPARE(at(shot, QPoint(2, 2)), QColor(Qt::black));
    QCOMPARE(at(shot, QPoint(shot.width() - 3, shot.height() - 3)), QColor(250, 120, 10));
    QVERIFY(GrabWindowArea(GetDesktopWindow(), false, 0, 0, 0, 10).isNull());
}

void tst_capture::fallbackGrabsTheSamePixels()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Quadrants window(QRect(screen.topLeft() + QPoint(120, 140), QSize(160, 90)));
    settle(window);
    const QRect area(screen.topLeft() + QPoint(100, 120), QSize(220, 140));
    const QImage direct = GrabWindowArea(GetDesktopWindow(), false, area.x(), area.y(),
                                         area.width(), area.height());
    const QImage viaQt
        = GrabWithQt(0, area.x() - screen.x(), area.y() - screen.y(), area.width(), area.height());
    QCOMPARE(viaQt.size(), direct.size());
    QCOMPARE(viaQt.convertToFormat(QImage::Format_RGB32), direct);
}

void tst_capture::everySourceGivesTheSamePixels_data()
{
    QTest::addColumn<CaptureSource>("source");
    QTest::newRow("shared memory") << CaptureSource::SharedMemory;
    QTest::newRow("qt") << CaptureSource::Qt;
    QTest::newRow("none") << CaptureSource::None;
}

// Whichever source reads the screen, a window's area and the whole desktop are the same
// pixels; where none can, there is no picture and the reason says so.
void tst_capture::everySourceGivesTheSamePixels()
{
    QFETCH(CaptureSource, source);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Quadrants window(QRect(screen.topLeft() + QPoint(200, 160), QSize(200, 120)));
    settle(window);
    const QRect frame = window.frameGeometry();
    const QImage expectedArea = GrabWithQt(0, frame.x() - screen.x(), frame.y() - screen.y(),
                                           frame.width(), frame.height())
                                    .convertToFormat(QImage::Format_RGB32);
    const QImage expectedDesktop = GrabWithQt(0, 0, 0, screen.width(), screen.height())
                                       .convertToFormat(QImage::Format_RGB32);

    OverrideScreenSource(source);
    const auto restore = qScopeGuard([] { OverrideScreenSource(std::nullopt); });
    QCOMPARE(ScreenSource(), source);
    const QImage area = GrabWindowArea(window.winId(), false, 0, 0, frame.width(), frame.height());
    const QImage desktop = GrabDesktop(dpr());
    if (source == CaptureSource::None) {
        QVERIFY(area.isNull());
        QVERIFY(desktop.isNull());
        QCOMPARE(LastGrabError(), NoSourceReason());
        return;
    }
    QCOMPARE(area.convertToFormat(QImage::Format_RGB32), expectedArea);
    QCOMPARE(desktop.convertToFormat(QImage::Format_RGB32), expectedDesktop);
    QVERIFY(LastGrabError().isEmpty());
}

void tst_capture::picturesOwnTheirPixels()
{
    if (!xcbshm::RootWindow())
        QSKIP("not on X11");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Swatch swatch(QRect(screen.topLeft() + QPoint(10, 10), QSize(60, 60)), QColor(200, 0, 0));
    settle(swatch);
    const QPoint inside = QPoint(30, 30);
    const auto grab = [&] {
        return GrabWindowArea(GetDesktopWindow(), false, screen.x(), screen.y(), screen.width(),
                              screen.height());
    };

    auto first = std::make_unique<QImage>(grab());
    const uchar* firstPixels = std::as_const(*first).bits();
    // A copy shares the pixels; a later capture gets pixels of its own.
    const QImage copy = *first;
    QCOMPARE(std::as_const(copy).bits(), firstPixels);
    swatch.setColor(QColor(0, 0, 200));
    QTest::qWait(50);
    const QImage second = grab();
    QVERIFY(std::as_const(second).bits() != firstPixels);
    QCOMPARE(at(copy, inside * dpr()), QColor(200, 0, 0));
    QCOMPARE(at(second, inside * dpr()), QColor(0, 0, 200));

    // The last reference going frees the pixels for the next capture to reuse. Spares of
    // other sizes may be left by the cases before.
    const int others = xcbshm::SpareSegments();
    first.reset();
    QCOMPARE(xcbshm::SpareSegments(), others); // the copy still holds them
    const_cast<QImage&>(copy) = QImage();
    QCOMPARE(xcbshm::SpareSegments(), others + 1);
    QImage third = grab();
    QCOMPARE(xcbshm::SpareSegments(), others);
    QCOMPARE(std::as_const(third).bits(), firstPixels);
    QCOMPARE(at(third, inside * dpr()), QColor(0, 0, 200));

    // A small read between two captures, as of the area a viewer leaves, keeps the
    // screen-sized pixels for the next capture.
    third = QImage();
    QVERIFY(!GrabWindowArea(GetDesktopWindow(), false, screen.x(), screen.y(),
                            screen.width() / 4, screen.height() / 5)
                 .isNull());
    const int kept = xcbshm::SpareSegments();
    QVERIFY2(kept >= 2, "the screen-sized pixels went");
    const QImage fourth = grab();
    QCOMPARE(xcbshm::SpareSegments(), kept - 1);
}

// Runs only on a 256-colour palette display (see viewer.cmake).
void tst_capture::palette()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen->depth() != 8)
        ZARNEL_NOT_IN_THIS_RUN("needs an 8-bit palette display");
    // A bare X window whose background is a colour allocated in the default colormap.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    QVERIFY(x11);
    xcb_connection_t* conn = x11->connection();
    xcb_screen_t* xscreen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    const std::unique_ptr<xcb_alloc_color_reply_t, decltype(&std::free)> colour(
        xcb_alloc_color_reply(
            conn, xcb_alloc_color(conn, xscreen->default_colormap, 0xffff, 0x8000, 0), nullptr),
        &std::free);
    QVERIFY(colour);
    const xcb_window_t window = xcb_generate_id(conn);
    const quint32 values[] = {colour->pixel, 1};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, window, xscreen->root, 20, 30, 50, 40, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(conn, window);
    std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));

    const QImage shot = GrabWindowArea(GetDesktopWindow(), false, 0, 0, 100, 100);
    xcb_destroy_window(conn, window);
    xcb_flush(conn);
    QCOMPARE(shot.format(), QImage::Format_Indexed8);
    QCOMPARE(shot.colorCount(), 256);
    QCOMPARE(shot.pixelIndex(40, 50), int(colour->pixel));
    QCOMPARE(QColor(shot.pixel(40, 50)),
             QColor(colour->red >> 8, colour->green >> 8, colour->blue >> 8));
    QVERIFY(shot.pixel(10, 10) != shot.pixel(40, 50));
}

QTEST_MAIN(tst_capture)
#include "tst_capture.moc"
