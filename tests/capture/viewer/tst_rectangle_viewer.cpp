// The rectangle capture and the crop as a user meets them, through the viewer's own
// commands: a known picture fills the screen, the viewer captures a rectangle of it or
// crops its scrolled image, and the result is checked pixel for pixel.
#include "OverlayTestSupport.h"

#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"

#include <QAction>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyleHints>
#include <QtTest>

#include <cmath>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;
using namespace overlaytest;

class tst_rectangle_viewer : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void capturesARectangle_data();
    void capturesARectangle();
    void leavingKeepsTheSnapshot();
    void doubleClickSelectsOnePixel();
    void cropsAScrolled4KImage();

private:
    qreal ratio() const { return QGuiApplication::primaryScreen()->devicePixelRatio(); }
    QPoint devicePoint(QPointF p) const
    {
        return QPoint(int(std::lrint(p.x() * ratio())), int(std::lrint(p.y() * ratio())));
    }
    frmScreenCapture& viewer();
    frmCaptureRectangle& startRectangleCapture(frmScreenCapture& v);

    forms::Picture screen_;
    std::unique_ptr<Backdrop> backdrop_;
};

void tst_rectangle_viewer::init()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize device = (QSizeF(screen->geometry().size()) * ratio()).toSize();
    if (screen_.size() != device)
        screen_ = pattern(device, ratio());
    backdrop_ = std::make_unique<Backdrop>(screen_);
    QVERIFY(QTest::qWaitForWindowExposed(backdrop_.get()));
}

void tst_rectangle_viewer::cleanup()
{
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
    backdrop_.reset();
}

frmScreenCapture& tst_rectangle_viewer::viewer()
{
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    if (!QTest::qWaitForWindowExposed(&v))
        qWarning("viewer not exposed");
    return v;
}

frmCaptureRectangle& tst_rectangle_viewer::startRectangleCapture(frmScreenCapture& v)
{
    v.Toolbar1_ButtonClick(QStringLiteral("Capture1"));
    frmCaptureRectangle& overlay = frmCaptureRectangle::instance();
    if (!QTest::qWaitForWindowExposed(&overlay))
        qWarning("overlay not exposed");
    return overlay;
}

void tst_rectangle_viewer::capturesARectangle_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    const QPointF a(120, 90), b(420, 290);
    QTest::newRow("down-right") << a << b;
    QTest::newRow("up-left") << b << a;
    QTest::newRow("up-right") << QPointF(a.x(), b.y()) << QPointF(b.x(), a.y());
    QTest::newRow("down-left") << QPointF(b.x(), a.y()) << QPointF(a.x(), b.y());
}

// The viewer comes back holding exactly the screen pixels the user dragged over, taken
// from the frozen snapshot (the band never in it, the viewer never in it).
void tst_rectangle_viewer::capturesARectangle()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    frmScreenCapture& v = viewer();
    QPointer<frmCaptureRectangle> overlay = &startRectangleCapture(v);
    QVERIFY(!v.isVisible());
    QVERIFY(overlay->isVisible());

    Mouse(overlay->picture1()).drag(from, to);

    QTRY_VERIFY(!overlay);
    QTRY_VERIFY(v.isVisible());
    const QRectF logical = QRectF(from, to).normalized();
    const QRect expected(devicePoint(logical.topLeft()),
                         devicePoint(logical.bottomRight()) - QPoint(1, 1));
    QCOMPARE(v.picture().size(), expected.size());
    QCOMPARE(v.picture().pixel(0, 0), patternAt(expected.left(), expected.top()));
    QCOMPARE(differingPixels(v.picture(), screen_.copy(expected)), 0);
}

void tst_rectangle_viewer::leavingKeepsTheSnapshot()
{
    frmScreenCapture& v = viewer();
    QPointer<frmCaptureRectangle> overlay = &startRectangleCapture(v);
    QTRY_COMPARE(QGuiApplication::focusWindow(), overlay->windowHandle());
    QTest::keyClick(overlay->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!overlay);
    QTRY_VERIFY(v.isVisible());
    QCOMPARE(differingPixels(v.picture(), screen_), 0);
    // The full snapshot is larger than the viewport: the scroll bars are set up for it.
    QVERIFY(!v.findChild<QScrollBar*>(QStringLiteral("HScroll1"))->isHidden());
    QVERIFY(!v.findChild<QScrollBar*>(QStringLiteral("VScroll1"))->isHidden());
}

// The X server's own double click: its first release completes a one-pixel selection,
// and the second click, landing after the overlay has gone, takes nothing back.
void tst_rectangle_viewer::doubleClickSelectsOnePixel()
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        QSKIP("xdotool is not installed");
    frmScreenCapture& v = viewer();
    QPointer<frmCaptureRectangle> overlay = &startRectangleCapture(v);
    QTRY_COMPARE(QGuiApplication::focusWindow(), overlay->windowHandle());
    const QPoint at(301, 203); // screen pixels
    QProcess::execute(xdotool, {"mousemove", QString::number(at.x()), QString::number(at.y()),
                                "click", "--repeat", "2", "--delay", "40", "1"});
    QTRY_VERIFY(!overlay);
    QTRY_VERIFY(v.isVisible());
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    QCOMPARE(v.picture().size(), QSize(1, 1));
    QCOMPARE(v.picture().pixel(0, 0), patternAt(at.x(), at.y()));
}

// The band is in image pixels even when the image was scrolled; the crop then shows at
// the viewport's corner with the scroll bars reset.
void tst_rectangle_viewer::cropsAScrolled4KImage()
{
    frmScreenCapture& v = viewer();
    auto* picture2 = v.findChild<forms::PictureBox*>(QStringLiteral("Picture2"));
    auto* hbar = v.findChild<QScrollBar*>(QStringLiteral("HScroll1"));
    auto* vbar = v.findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    const forms::Picture image = pattern(QSize(3840, 2160), ratio());
    picture2->setPicture(image);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&v, &activate);
    QVERIFY(!hbar->isHidden());
    hbar->setValue(hbar->maximum() / 2);
    vbar->setValue(vbar->maximum() / 3);
    QVERIFY(picture2->x() < -100);
    QVERIFY(picture2->y() < -100);

    v.mnuCrop_Click();
    QVERIFY(v.findChild<QAction*>(QStringLiteral("Crop"))->isChecked());
    // A band inside the visible part of the scrolled image, in its own coordinates.
    const QPointF from = QPointF(-picture2->pos()) + QPointF(30, 20);
    const QPointF to = from + QPointF(150, 100);
    Mouse(*picture2).drag(to, from);

    const QRect expected(devicePoint(from), devicePoint(to) - QPoint(1, 1));
    QCOMPARE(v.picture().size(), expected.size());
    QCOMPARE(differingPixels(v.picture(), image.copy(expected)), 0);
    QCOMPARE(picture2->pos(), QPoint(0, 0));
    QCOMPARE(hbar->value(), 0);
    QCOMPARE(vbar->value(), 0);
    QVERIFY(hbar->isHidden());
    QVERIFY(!v.findChild<QAction*>(QStringLiteral("Crop"))->isChecked());

    // Disarmed: the next drag leaves the crop as it is.
    Mouse(*picture2).drag(QPointF(5, 5), QPointF(50, 40));
    QCOMPARE(v.picture().size(), expected.size());
}

QTEST_MAIN(tst_rectangle_viewer)
#include "tst_rectangle_viewer.moc"
