// Capture on KDE Plasma's KWin, as a Wayland client and through its Xwayland: the viewer's
// own pixels never show in
// its pictures, nor does the title bar KWin draws for it, it comes back as it was, and a
// portal that cannot save says why. The screen is read back through the desktop's portal
// itself (tests/support/on_kde.sh).
#include "OverlayTestSupport.h"
#include "ViewerSupport.h"

#include "capture/grab/PortalScreenGrab.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/WaylandBuffers.h"

#include <QDir>
#include <QtTest>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;
using namespace overlaytest;

namespace {

QImage screenshot()
{
    const auto shot = capture::portal::Screenshot(std::chrono::seconds(10));
    return QImage(shot.picture).convertToFormat(QImage::Format_RGB32);
}

// As the program does: Qt's shared-memory buffers, no OpenGL driver.
void paintWithoutGl()
{
    forms::PaintWithoutGl();
}
Q_CONSTRUCTOR_FUNCTION(paintWithoutGl)

} // namespace

class tst_kde : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void viewerNeverInItsPicture_data();
    void viewerNeverInItsPicture();
    void noPicturesFolderSaysSo();

private:
    QImage background_;
};

void tst_kde::initTestCase()
{
    if (const QByteArray why = qgetenv("ZARNEL_KDE_SKIP"); !why.isEmpty())
        QSKIP(why.constData());
    background_ = screenshot();
    QVERIFY2(!background_.isNull(), "KDE's portal gave no picture");
}

void tst_kde::cleanup()
{
    if (auto* overlay = frmCaptureRectangle::loaded())
        overlay->close();
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
}

void tst_kde::viewerNeverInItsPicture_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("full screen") << QStringLiteral("Capture2");
    QTest::newRow("rectangle") << QStringLiteral("Capture1");
}

// Five captures in a row: where the viewer stands, each picture holds what the screen
// showed before it came.
void tst_kde::viewerNeverInItsPicture()
{
    QFETCH(QString, command);
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    QRect area;
    QVERIFY(QTest::qWaitFor([&] {
        area = differingArea(screenshot(), background_);
        return area.width() >= v.width() && area.height() >= v.height();
    }, 10000));
    const QImage expected = background_.copy(area);
    const QSize size = v.size();
    for (int round = 1; round <= 5; ++round) {
        // As a user sees the viewer back before the next click: where it was, as large, with
        // its title bar.
        QVERIFY2(QTest::qWaitFor([&] { return differingArea(screenshot(), background_) == area; },
                                 10000),
                 qPrintable(QStringLiteral("capture %1: the viewer did not come back as it was")
                                .arg(round - 1)));
        v.Toolbar1_ButtonClick(command);
        QImage got;
        if (command == QLatin1String("Capture1")) {
            QPointer<frmCaptureRectangle> overlay = frmCaptureRectangle::loaded();
            QVERIFY(overlay);
            QVERIFY(QTest::qWaitForWindowExposed(overlay.data()));
            Mouse(overlay->picture1()).drag(area.topLeft(), area.bottomRight() + QPoint(1, 1));
            QTRY_VERIFY(!overlay);
            got = v.picture();
        } else {
            got = v.picture().copy(area);
        }
        QTRY_VERIFY(v.isVisible());
        QCOMPARE(v.size(), size);
        const int differing = differingPixels(got.convertToFormat(QImage::Format_RGB32), expected);
        QVERIFY2(differing == 0, qPrintable(QStringLiteral("capture %1: %2 pixels of the viewer "
                                                           "or its title bar")
                                                .arg(round)
                                                .arg(differing)));
    }
}

// KDE's portal saves each screenshot in the Pictures folder first and answers "cancelled"
// when it cannot.
void tst_kde::noPicturesFolderSaysSo()
{
    QDir home = QDir::home();
    QVERIFY(home.rename(QStringLiteral("Pictures"), QStringLiteral("Pictures.away")));
    const auto restore = qScopeGuard(
        [&] { home.rename(QStringLiteral("Pictures.away"), QStringLiteral("Pictures")); });
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    const auto seen = testsupport::expectMessageBox();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture2"));
    QTRY_VERIFY(seen->shown);
    QVERIFY2(seen->text.contains(QLatin1String("which does not exist: create that folder")),
             qPrintable(seen->text));
}

QTEST_MAIN(tst_kde)
#include "tst_kde.moc"
