// Capture, the frozen-screen overlay and transparency as a Wayland session's user meets
// them: windows of another program lie under ours, and what the user sees is read back
// from the compositor with grim.
#include "NotInThisRun.h"
#include "OverlayTestSupport.h"
#include "ViewerSupport.h"

#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"
#include "forms/WaylandBuffers.h"
#include "plotter/frmMain.h"

#include <QFileDialog>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;
using namespace overlaytest;

namespace {

// The primary screen as the compositor shows it.
QImage grim()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString area = QStringLiteral("%1,%2 %3x%4")
                             .arg(screen.x())
                             .arg(screen.y())
                             .arg(screen.width())
                             .arg(screen.height());
    QProcess process;
    process.start(QStringLiteral("grim"), {QStringLiteral("-g"), area, QStringLiteral("-t"),
                                           QStringLiteral("ppm"), QStringLiteral("-")});
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    return QImage::fromData(process.readAllStandardOutput(), "PPM")
        .convertToFormat(QImage::Format_RGB32);
}

// Polls what the screen shows until it passes, for up to ms of real time (each look at the
// screen takes a while).
template <class Check> bool within(int ms, Check check)
{
    const QDeadlineTimer deadline(ms);
    do {
        if (check())
            return true;
        QTest::qWait(50);
    } while (!deadline.hasExpired());
    return false;
}

// Where a window lies on a screen of red: the bounds of the pixels that are not red.
QRect notRed(const QImage& shot)
{
    QRect bounds;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xffffff) != 0xff0000)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int channelGap(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

bool overlayShown()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* w) {
        return w->objectName() == QLatin1String("frmCaptureRectangle") && w->isVisible();
    });
}

QRgb overRed(QRgb c, int alpha)
{
    const auto mix
        = [alpha](int top, int under) { return (top * alpha + under * (255 - alpha) + 127) / 255; };
    return qRgb(mix(qRed(c), 255), mix(qGreen(c), 0), mix(qBlue(c), 0));
}

// As the program does before its application object exists.
void paintWithoutGl()
{
    forms::PaintWithoutGl();
}
Q_CONSTRUCTOR_FUNCTION(paintWithoutGl)

} // namespace

class tst_wayland : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fullScreenCaptureIsTheScreen();
    void rectangleIsPixelExact();
    void titleBarComesBack();
    void portalStoppedExplains();
    void planeFadesOverRed_data();
    void planeFadesOverRed();
    void noGlDriverLoaded();

private:
    void showBackdrop(const forms::Picture& picture);
    frmScreenCapture& viewer();

    std::unique_ptr<Backdrop> backdrop_;
    forms::Picture screen_;
};

void tst_wayland::initTestCase()
{
    if (const QByteArray why = qgetenv("ZARNEL_WAYLAND_SKIP"); !why.isEmpty())
        QSKIP(why.constData());
    const QScreen* screen = QGuiApplication::primaryScreen();
    screen_ = pattern((QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize(),
                      screen->devicePixelRatio());
}

void tst_wayland::init()
{
    const bool expectNoPortal = qEnvironmentVariableIsSet("ZARNEL_EXPECT_NO_PORTAL");
    const bool noPortalCase = QByteArray(QTest::currentTestFunction()) == "portalStoppedExplains";
    if (expectNoPortal && !noPortalCase)
        ZARNEL_NOT_IN_THIS_RUN("the portal is stopped");
    if (!expectNoPortal && noPortalCase)
        ZARNEL_NOT_IN_THIS_RUN("runs with the portal stopped");
    if (!qEnvironmentVariableIsSet("ZARNEL_WAYLAND_TITLED")
        && QByteArray(QTest::currentTestFunction()) == "titleBarComesBack")
        ZARNEL_NOT_IN_THIS_RUN("runs where sway draws title bars");
}

void tst_wayland::cleanup()
{
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
    backdrop_.reset();
}

void tst_wayland::showBackdrop(const forms::Picture& picture)
{
    backdrop_ = std::make_unique<Backdrop>(picture);
    QVERIFY(QTest::qWaitForWindowExposed(backdrop_.get()));
    // On screen once the compositor shows it.
    QVERIFY(within(10000, [&] { return differingPixels(grim(), picture) == 0; }));
}

frmScreenCapture& tst_wayland::viewer()
{
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    if (!QTest::qWaitForWindowExposed(&v))
        qWarning("viewer not exposed");
    return v;
}

// The real screen's pixels, without the viewer that asked for them.
void tst_wayland::fullScreenCaptureIsTheScreen()
{
    showBackdrop(screen_);
    if (QTest::currentTestFailed())
        return;
    frmScreenCapture& v = viewer();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture2"));
    QVERIFY(v.isVisible());
    QCOMPARE(v.picture().size(), screen_.size());
    QCOMPARE(differingPixels(v.picture(), screen_), 0);
}

// The overlay lies pixel for pixel over the screen, and a dragged rectangle is exactly the
// device pixels under it.
void tst_wayland::rectangleIsPixelExact()
{
    showBackdrop(screen_);
    if (QTest::currentTestFailed())
        return;
    frmScreenCapture& v = viewer();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture1"));
    QPointer<frmCaptureRectangle> overlay = &frmCaptureRectangle::instance();
    QVERIFY(QTest::qWaitForWindowExposed(overlay.data()));
    QVERIFY(within(10000, [&] { return differingPixels(grim(), screen_) == 0; }));

    const QPointF from(301, 117), to(77, 409);
    Mouse(overlay->picture1()).drag(from, to);
    QTRY_VERIFY(!overlay);
    QTRY_VERIFY(v.isVisible());
    const qreal dpr = screen_.devicePixelRatio();
    const QRect expected(QPoint(std::lrint(77 * dpr), std::lrint(117 * dpr)),
                         QPoint(std::lrint(301 * dpr) - 1, std::lrint(409 * dpr) - 1));
    QCOMPARE(differingPixels(v.picture(), screen_.copy(expected)), 0);
}

// The title bar sway draws leaves with the viewer for each capture and comes back with it,
// the viewer as large as before.
void tst_wayland::titleBarComesBack()
{
    showBackdrop(screen_);
    if (QTest::currentTestFailed())
        return;
    frmScreenCapture& v = viewer();
    const QSize size = v.size();
    QRect area;
    QVERIFY(within(10000, [&] {
        area = differingArea(grim(), screen_);
        return area.height() > v.height() * screen_.devicePixelRatio();
    }));
    for (int round = 1; round <= 3; ++round) {
        v.mnuFullScreen_Click();
        QCOMPARE(differingPixels(v.picture(), screen_), 0);
        QCOMPARE(v.size(), size);
        QVERIFY2(within(10000, [&] { return differingArea(grim(), screen_) == area; }),
                 qPrintable(QStringLiteral("capture %1: the viewer did not come back as it was")
                                .arg(round)));
    }
}

// No portal: the command says why, the viewer comes back, and its picture stays.
void tst_wayland::portalStoppedExplains()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("held.bmp"));
    QVERIFY(screen_.copy(0, 0, 40, 30).save(file, "BMP"));
    frmScreenCapture& v = viewer();
    {
        const auto watch = testsupport::whenModal<QFileDialog>([&](QFileDialog* dialog) {
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept();
        });
        v.mnuOpen_Click();
    }
    const QImage held = v.picture();
    QCOMPARE(held.size(), QSize(40, 30));

    for (const char* key : {"Capture2", "Capture1"}) {
        const auto seen = testsupport::expectMessageBox();
        v.Toolbar1_ButtonClick(QLatin1String(key));
        QTRY_VERIFY(seen->shown);
        QVERIFY2(seen->text.startsWith(
                     QLatin1String("Screen capture is not available: no desktop portal")),
                 qPrintable(seen->text));
        QCOMPARE(seen->icon, QMessageBox::Information);
        QVERIFY(v.isVisible());
        QCOMPARE(differingPixels(v.picture(), held), 0);
        QVERIFY(!overlayShown());
    }
}

void tst_wayland::planeFadesOverRed_data()
{
    QTest::addColumn<int>("alpha");
    QTest::addColumn<bool>("bandMoved");
    QTest::newRow("lowest") << 100 << false;
    QTest::newRow("middle") << 180 << false;
    QTest::newRow("opaque") << 255 << false;
    // Only the band's strips repaint then: each must fade once, no more, no less.
    QTest::newRow("middle, after band moves") << 180 << true;
}

// Plane and strip alike show the red window beneath at the slider's value.
void tst_wayland::planeFadesOverRed()
{
    QFETCH(int, alpha);
    QFETCH(bool, bandMoved);
    forms::Picture red(screen_.size(), QImage::Format_RGB32);
    red.fill(Qt::red);
    showBackdrop(red);
    if (QTest::currentTestFailed())
        return;
    plotter::frmMain& main = plotter::frmMain::instance();
    main.Show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto* slider = main.findChild<QSlider*>(QStringLiteral("Slider"));
    slider->setValue(alpha);
    QTest::mouseRelease(slider, Qt::LeftButton);
    QTest::keyClick(&main, Qt::Key_Escape);
    if (bandMoved) {
        QTest::mouseClick(&main, Qt::LeftButton, Qt::NoModifier, QPoint(150, 450));
        for (int step = 0; step < 40; ++step) {
            const QPointF at(160 + step * 17, 440 - step * 9);
            QMouseEvent move(QEvent::MouseMove, at, main.mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&main, &move);
            QCoreApplication::processEvents();
        }
    }
    const QRegion band = main.rubberBand().region();

    const QImage& plane = main.retainedImage();
    const qreal dpr = plane.devicePixelRatio();
    const QPoint strip(std::lrint(900 * dpr), std::lrint(625 * dpr)); // white, between controls
    const auto faded = [&] {
        const QImage shot = grim();
        const QRect window = notRed(shot);
        if (window.width() < plane.width() || window.height() < strip.y())
            return false;
        for (int y = 0; y < std::lrint(600 * dpr); y += 7)
            for (int x = 0; x < plane.width(); x += 5)
                if (!band.contains(QPoint(x, y) / dpr)
                    && channelGap(shot.pixel(window.topLeft() + QPoint(x, y)),
                                  overRed(plane.pixel(x, y), alpha))
                           > 2)
                    return false;
        return channelGap(shot.pixel(window.topLeft() + strip), overRed(qRgb(255, 255, 255), alpha))
               <= 2;
    };
    QVERIFY(within(10000, faded));
    QTest::keyClick(&main, Qt::Key_Escape);
    main.hide();
}

// After every window above has been shown and painted: nothing of GL's was loaded for it.
void tst_wayland::noGlDriverLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY(!mapped.isEmpty());
    QVERIFY2(!mapped.contains("_dri.so"), "a DRI driver is mapped");
    QVERIFY2(!mapped.contains("libEGL_mesa"), "Mesa's EGL is mapped");
}

QTEST_MAIN(tst_wayland)
#include "tst_wayland.moc"
