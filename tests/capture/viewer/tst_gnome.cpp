// Capture on GNOME Shell as its users meet it: the viewer stands over the desktop's plain
// background, is moved by the shell between captures, and must never show in its own
// pictures; what the screen shows is read back from the shell itself. Runs as a Wayland
// client, through Xwayland and on GNOME Shell on X11 (tests/support/on_gnome.sh).
#include "GnomeShell.h"
#include "NotInThisRun.h"
#include "OverlayTestSupport.h"
#include "ViewerSupport.h"

#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/WaylandBuffers.h"

#include <QProcess>
#include <QtTest>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;
using namespace overlaytest;

namespace {

// Polls check for up to ms of real time (each look at the screen takes a while).
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

bool oneColour(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

// The permission cases need the portal, which Zarnel does not ask on an X11 session; they
// run once, with Zarnel as a Wayland client.
bool portalRun()
{
    return qgetenv("ZARNEL_GNOME_MODE") == "wayland";
}

// The shell's question whether programs may take screenshots, while it shows.
bool permissionAsked()
{
    return gnome::eval(QStringLiteral(
               "imports.ui.main.layoutManager.modalDialogGroup.get_children().some("
               "d => d.toString().includes('Allow Applications to Take Screenshots?'))"))
           == QLatin1String("true");
}

void paintWithoutGl()
{
    forms::PaintWithoutGl();
}
Q_CONSTRUCTOR_FUNCTION(paintWithoutGl)

} // namespace

class tst_gnome : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void viewerNeverInItsPicture_data();
    void viewerNeverInItsPicture();
    void refusalSaysHowToAllow();
    void unansweredSaysSo();

private:
    frmScreenCapture& viewer();
    QRect placeViewer(QPoint where);

    QImage background_;
};

void tst_gnome::initTestCase()
{
    if (const QByteArray why = qgetenv("ZARNEL_GNOME_SKIP"); !why.isEmpty())
        QSKIP(why.constData());
    QVERIFY(gnome::setScreenshotPermission(QStringLiteral("yes")));
    // The screen with no window on it, not even one of the last test leaving: the top bar
    // and the plain background.
    QVERIFY(within(10000, [] {
        return gnome::eval(QStringLiteral("global.get_window_actors().filter(a => !a.meta_window "
                                          "|| !a.meta_window.is_override_redirect()).length"))
               == QLatin1String("0");
    }));
    // Shell dialogs are no windows: the last test's permission question may still be closing.
    const int panel = gnome::eval(QStringLiteral("imports.ui.main.panel.height"))
                          .value_or(QString())
                          .toInt();
    QVERIFY(panel > 0);
    QVERIFY2(within(10000,
                    [&] {
                        background_ = gnome::screenshot();
                        return !background_.isNull()
                               && oneColour(background_.copy(background_.rect().adjusted(
                                   0, panel, 0, 0)));
                    }),
             "the background below the top bar never showed plain");
}

void tst_gnome::cleanup()
{
    if (portalRun())
        QVERIFY(gnome::setScreenshotPermission(QStringLiteral("yes")));
    if (auto* overlay = frmCaptureRectangle::loaded())
        overlay->close();
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
}

frmScreenCapture& tst_gnome::viewer()
{
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    if (!QTest::qWaitForWindowExposed(&v))
        qWarning("viewer not exposed");
    return v;
}

// Has the shell move the viewer there and returns the area it covers once the screen
// shows it there, or an empty area.
QRect tst_gnome::placeViewer(QPoint where)
{
    const QString title = frmScreenCapture::instance().windowTitle();
    QRect area;
    const bool shown = within(10000, [&] {
        gnome::moveWindow(title, where);
        area = gnome::windowArea(title) & background_.rect();
        if (area.isEmpty() || std::abs(area.x() - where.x()) > 40
            || std::abs(area.y() - where.y()) > 40)
            return false;
        const QImage screen = gnome::screenshot();
        return !screen.isNull()
               && differingPixels(screen.copy(area), background_.copy(area))
                      > area.width() * area.height() / 10;
    });
    return shown ? area : QRect();
}

void tst_gnome::viewerNeverInItsPicture_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("full screen") << QStringLiteral("Capture2");
    // The frozen screen, as a drag over the viewer's former area returns it.
    QTest::newRow("rectangle") << QStringLiteral("Capture1");
}

// Five captures in a row, the viewer somewhere else before each: where it stood, the picture
// holds the background the shell showed before the viewer came.
void tst_gnome::viewerNeverInItsPicture()
{
    QFETCH(QString, command);
    frmScreenCapture& v = viewer();
    const QList<QPoint> places {{200, 150}, {900, 320}, {480, 560}, {1150, 480}, {320, 380}};
    for (int round = 0; round < places.size(); ++round) {
        const QRect area = placeViewer(places[round]);
        QVERIFY2(!area.isEmpty(), qPrintable(QStringLiteral("round %1: the viewer did not show "
                                                            "where the shell was asked to put it")
                                                 .arg(round)));
        const QImage expected = background_.copy(area);
        QVERIFY2(oneColour(expected), "the viewer does not stand over the plain background");

        QImage got;
        v.Toolbar1_ButtonClick(command);
        if (command == QLatin1String("Capture1")) {
            QPointer<frmCaptureRectangle> overlay = frmCaptureRectangle::loaded();
            QVERIFY(overlay);
            QVERIFY(QTest::qWaitForWindowExposed(overlay.data()));
            Mouse(overlay->picture1())
                .drag(area.topLeft(), area.topLeft() + QPoint(area.width(), area.height()));
            QTRY_VERIFY(!overlay);
            got = v.picture();
        } else {
            got = v.picture().copy(area);
        }
        QTRY_VERIFY(v.isVisible());
        const int differing = differingPixels(got, expected);
        QVERIFY2(
            differing == 0,
            qPrintable(QStringLiteral("capture %1: %2 pixels of the viewer's former area %3,%4 "
                                      "%5x%6 are not the screen's")
                           .arg(round + 1)
                           .arg(differing)
                           .arg(area.x())
                           .arg(area.y())
                           .arg(area.width())
                           .arg(area.height())));
    }
}

// A stored refusal says so and names a command that undoes it: run, it does.
void tst_gnome::refusalSaysHowToAllow()
{
    if (!portalRun())
        ZARNEL_NOT_IN_THIS_RUN("runs with Zarnel as a Wayland client");
    QVERIFY(gnome::setScreenshotPermission(QStringLiteral("no")));
    frmScreenCapture& v = viewer();
    const auto seen = testsupport::expectMessageBox();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture2"));
    QTRY_VERIFY(seen->shown);
    const QString refused
        = QStringLiteral("Screen capture is not available: the desktop refused screenshots");
    QVERIFY2(seen->text.startsWith(refused), qPrintable(seen->text));
    const QString run = QStringLiteral("run: ");
    const qsizetype at = seen->text.indexOf(run);
    QVERIFY2(at > 0, qPrintable(seen->text));
    QCOMPARE(QProcess::execute(QStringLiteral("sh"),
                               {QStringLiteral("-c"), seen->text.mid(at + run.size())}),
             0);

    const auto again = testsupport::expectMessageBox();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture2"));
    QVERIFY2(!again->shown, qPrintable(again->text));
    QCOMPARE(v.picture().size(), background_.size());
}

// Left unanswered, the shell's question ends the wait when the portal gives up on it.
void tst_gnome::unansweredSaysSo()
{
    if (!portalRun())
        ZARNEL_NOT_IN_THIS_RUN("runs with Zarnel as a Wayland client");
    QVERIFY(gnome::setScreenshotPermission(QString()));
    frmScreenCapture& v = viewer();
    const auto seen = testsupport::expectMessageBox();
    bool asked = false;
    QTimer look;
    connect(&look, &QTimer::timeout, this, [&] { asked = asked || permissionAsked(); });
    look.start(500);
    QElapsedTimer waited;
    waited.start();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture2"));
    QTRY_VERIFY_WITH_TIMEOUT(seen->shown, 40000);
    look.stop();
    QVERIFY2(asked, "the shell never asked");
    QVERIFY2(seen->text.contains(QLatin1String("the request was not answered")),
             qPrintable(seen->text));
    QVERIFY2(waited.elapsed() < 29000, qPrintable(QString::number(waited.elapsed())));
    // The question outlives the request; nobody is left to hear its answer.
    gnome::eval(QStringLiteral(
        "imports.ui.main.layoutManager.modalDialogGroup.get_children().filter("
        "d => d.toString().includes('Allow Applications')).forEach(d => d.close())"));
}

QTEST_MAIN(tst_gnome)
#include "tst_gnome.moc"
