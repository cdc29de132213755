// Captures under a compositing manager, which fades a hidden window out or repaints late:
// captures in a row, full screen and rectangle, with the viewer over a window of a known
// colour, must hold nothing of the viewer.

#include "ViewerSupport.h"

#include "capture/grab/XcbShmGrab.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/x11/Compositing.h"
#include "forms/x11/QtXcb.h"

#include <QScreen>
#include <QWindow>
#include <QtTest>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;

namespace {

const QColor kBehind(200, 40, 160);

// A plain coloured window standing in for another program's window.
class Backdrop : public QWidget {
public:
    explicit Backdrop(const QRect& rect)
    {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, kBehind);
        setPalette(pal);
        setGeometry(rect);
        show();
    }
};

// Pixels of area (logical) in picture that are not the backdrop's colour, and the first.
QString traces(const QImage& picture, const QRect& area)
{
    const qreal dpr = picture.devicePixelRatio();
    const QRect device(
        QPoint(qRound(area.left() * dpr), qRound(area.top() * dpr)),
        QPoint(qRound((area.right() + 1) * dpr) - 1, qRound((area.bottom() + 1) * dpr) - 1));
    if (picture.isNull())
        return QStringLiteral("no picture");
    int count = 0;
    QPoint first;
    for (int y = device.top(); y <= device.bottom(); ++y) {
        for (int x = device.left(); x <= device.right(); ++x) {
            if (QColor(picture.pixel(x, y)) != kBehind && count++ == 0)
                first = QPoint(x, y);
        }
    }
    if (count == 0)
        return {};
    return QStringLiteral("%1 pixels of the viewer, the first at (%2, %3): %4")
        .arg(count)
        .arg(first.x())
        .arg(first.y())
        .arg(QColor(picture.pixel(first)).name());
}

// Whether the screen shows all of window's client area as the window paints it: a
// compositing manager may still be fading it in. (A device pixel ratio of 1 here.)
bool drawnOnScreen(QWidget& window)
{
    const std::optional<forms::Picture> shown = capture::xcbshm::GrabRoot(window.geometry());
    const QImage painted = window.grab().toImage();
    return shown && shown->size() == painted.size()
           && shown->convertToFormat(QImage::Format_RGB32)
                  == painted.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_composited : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void noTraceOfTheViewer_data();
    void noTraceOfTheViewer();

private:
    frmScreenCapture& viewerOverTheBackdrop();
    std::unique_ptr<Backdrop> backdrop_;
};

void tst_composited::initTestCase()
{
    xcb_connection_t* conn = forms::x11::QtXcbConnection();
    QVERIFY(conn);
    const auto root = xcb_window_t(capture::xcbshm::RootWindow().value_or(0));
    // The manager was started with the server; it composites once it owns its selection.
    QTRY_VERIFY_WITH_TIMEOUT(forms::x11::CompositorRuns(conn, root), 20000);
}

void tst_composited::init()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Well short of the whole screen, which managers would maximise.
    backdrop_ = std::make_unique<Backdrop>(
        QRect(QPoint(), QSize(1400, 760)).translated(screen.center() - QPoint(700, 380)));
    QVERIFY(QTest::qWaitForWindowExposed(backdrop_.get()));
    // Exposed is not yet drawn: a compositing manager may fade a new window in. (A device
    // pixel ratio of 1 here.)
    const auto drawn = [this] {
        const QRect device = backdrop_->geometry();
        const std::optional<forms::Picture> shown = capture::xcbshm::GrabRoot(device);
        return shown && traces(*shown, device.translated(-device.topLeft())).isEmpty();
    };
    QVERIFY(QTest::qWaitFor(drawn, 10000));
}

void tst_composited::cleanup()
{
    if (auto* overlay = frmCaptureRectangle::loaded())
        overlay->close();
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
    backdrop_.reset();
}

frmScreenCapture& tst_composited::viewerOverTheBackdrop()
{
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    if (!QTest::qWaitForWindowExposed(&v))
        qWarning("viewer not exposed");
    const QPoint place = backdrop_->geometry().center() - QPoint(300, 200);
    v.move(place);
    if (!QTest::qWaitFor([&] { return v.pos() == place; }))
        qWarning("viewer not moved");
    return v;
}

void tst_composited::noTraceOfTheViewer_data()
{
    QTest::addColumn<bool>("rectangle");
    QTest::newRow("Capture Full Screen") << false;
    QTest::newRow("Capture Rectangular Area") << true;
}

void tst_composited::noTraceOfTheViewer()
{
    QFETCH(bool, rectangle);
    frmScreenCapture& v = viewerOverTheBackdrop();
    const QRect behind = backdrop_->geometry();
    QVERIFY(behind.contains(v.frameGeometry()));
    for (int capture = 1; capture <= 5; ++capture) {
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QTRY_VERIFY(drawnOnScreen(v));
        QVERIFY(v.geometry().intersects(behind));
        if (rectangle) {
            v.mnuRectangle_Click();
            frmCaptureRectangle* overlay = frmCaptureRectangle::loaded();
            QVERIFY(overlay);
            // The overlay's frozen screen is the viewer's picture now.
            const QString found = traces(v.picture(), behind);
            overlay->close();
            QVERIFY2(found.isEmpty(),
                     qPrintable(QStringLiteral("capture %1: %2").arg(capture).arg(found)));
        } else {
            v.mnuFullScreen_Click();
            const QString found = traces(v.picture(), behind);
            QVERIFY2(found.isEmpty(),
                     qPrintable(QStringLiteral("capture %1: %2").arg(capture).arg(found)));
        }
        QTRY_VERIFY(v.isVisible());
    }
}

QTEST_MAIN(tst_composited)
#include "tst_composited.moc"
