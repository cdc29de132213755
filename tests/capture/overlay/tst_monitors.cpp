// Captures on a desk of several monitors (RandR monitors of one X server, see
// monitors.cmake): every monitor shows its part of one known picture, and each capture
// must give back exactly the pixels of the monitor it was taken on, from either monitor.
#include "OverlayTestSupport.h"

#include "capture/grab/Capture.h"
#include "capture/grab/Desktop.h"
#include "capture/overlay/MonitorOverlay.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"
#include "plotter/frmMain.h"

#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include <memory>
#include <vector>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;
using capture::Monitor;
using namespace overlaytest;

namespace {

// Another program's window showing one monitor's part of the desktop's picture.
class MonitorBackdrop : public QWidget {
public:
    MonitorBackdrop(const Monitor& monitor, const forms::Picture& desktop)
        : part_(desktop.copy(monitor.device))
    {
        part_.setDevicePixelRatio(monitor.ratio);
        setWindowFlags(Qt::FramelessWindowHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        if (monitor.screen)
            setScreen(monitor.screen);
        setGeometry(monitor.logical);
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(QPointF(0, 0), part_); }

private:
    forms::Picture part_;
};

// Runs xdotool, which speaks to the X server as the user's own pointer and keyboard.
bool xdotool(const QStringList& args)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    return !program.isEmpty() && QProcess::execute(program, args) == 0;
}

QStringList pointerTo(QPoint device)
{
    return {"mousemove", QString::number(device.x()), QString::number(device.y())};
}

frmCaptureRectangle* shownOverlay()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<frmCaptureRectangle*>(widget); form && form->isVisible())
            return form;
    }
    return nullptr;
}

} // namespace

class tst_monitors : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void fullScreenTakesEveryMonitor_data();
    void fullScreenTakesEveryMonitor();
    void rectangleOnEachMonitor_data();
    void rectangleOnEachMonitor();
    void keyboardStartedOverlay_data();
    void keyboardStartedOverlay();
    void viewerOpensOnItsOwnersScreen_data();
    void viewerOpensOnItsOwnersScreen();

private:
    void perMonitorRows();
    frmScreenCapture& viewerOn(const Monitor& monitor);
    // Every monitor shows its own part of the desktop's picture, and nothing else.
    void screenShowsThePicture();
    // Pixels on the monitors that differ from the desktop's picture (-1: not its size).
    int differingOnMonitors(const QImage& picture) const;

    QList<Monitor> monitors_;
    forms::Picture desktop_;
    std::vector<std::unique_ptr<MonitorBackdrop>> backdrops_;
};

void tst_monitors::initTestCase()
{
    monitors_ = capture::DesktopMonitors();
    QVERIFY2(monitors_.size() >= 2,
             "needs an X server with several monitors (with_xvfb.sh monitors=...)");
    const QRect bounds = capture::DesktopBounds(monitors_);
    QCOMPARE(bounds.topLeft(), QPoint(0, 0));
    desktop_ = pattern(bounds.size(), 1);
    // Something other than black where no monitor shows, which a capture must not show.
    forms::Picture white(bounds.size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    QRegion gaps(bounds);
    for (const Monitor& monitor : monitors_)
        gaps -= monitor.device;
    for (const QRect& gap : gaps)
        backdrops_.push_back(
            std::make_unique<MonitorBackdrop>(Monitor {nullptr, gap, gap, 1}, white));
    for (const Monitor& monitor : monitors_) {
        backdrops_.push_back(std::make_unique<MonitorBackdrop>(monitor, desktop_));
        QVERIFY(QTest::qWaitForWindowExposed(backdrops_.back().get()));
    }
    QVERIFY(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty());
}

void tst_monitors::cleanup()
{
    if (frmCaptureRectangle* overlay = shownOverlay())
        overlay->close();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* main = qobject_cast<plotter::frmMain*>(widget))
            main->close();
    }
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded() && !shownOverlay());
}

void tst_monitors::perMonitorRows()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < monitors_.size(); ++i)
        QTest::addRow("monitor %d", i + 1) << i;
}

frmScreenCapture& tst_monitors::viewerOn(const Monitor& monitor)
{
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    if (!QTest::qWaitForWindowExposed(&v))
        qWarning("viewer not exposed");
    v.move(monitor.logical.topLeft() + QPoint(40, 30));
    v.activateWindow();
    if (!QTest::qWaitFor([&] { return v.screen() == monitor.screen && v.isActiveWindow(); }))
        qWarning("viewer not active on its monitor");
    return v;
}

int tst_monitors::differingOnMonitors(const QImage& picture) const
{
    if (picture.size() != desktop_.size())
        return -1;
    int count = 0;
    for (const Monitor& monitor : monitors_)
        count += differingPixels(picture.copy(monitor.device), desktop_.copy(monitor.device));
    return count;
}

void tst_monitors::screenShowsThePicture()
{
    QTest::qWait(50);
    QCOMPARE(differingOnMonitors(capture::GrabDesktop(1)), 0);
}

void tst_monitors::fullScreenTakesEveryMonitor_data()
{
    perMonitorRows();
}

// The whole desktop in one picture, monitors at their places and the gaps black; the
// viewer, wherever it was, is in none of it and comes back there.
void tst_monitors::fullScreenTakesEveryMonitor()
{
    QFETCH(int, index);
    const Monitor& home = monitors_[index];
    frmScreenCapture& v = viewerOn(home);
    const QPoint where = v.pos();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture2"));
    QTRY_VERIFY(v.isVisible());

    const forms::Picture picture = v.picture();
    QCOMPARE(picture.devicePixelRatio(), home.ratio);
    // Every pixel of every monitor, its corners included.
    QCOMPARE(differingOnMonitors(picture), 0);
    QRegion gaps(desktop_.rect());
    for (const Monitor& monitor : monitors_)
        gaps -= monitor.device;
    for (const QRect& gap : gaps) {
        forms::Picture black(gap.size(), QImage::Format_RGB32);
        black.fill(Qt::black);
        QCOMPARE(differingPixels(picture.copy(gap), black), 0);
    }
    QCOMPARE(v.screen(), home.screen);
    QCOMPARE(v.pos(), where);
}

void tst_monitors::rectangleOnEachMonitor_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("pastTheEdge");
    for (int i = 0; i < monitors_.size(); ++i) {
        QTest::addRow("monitor %d", i + 1) << i << false;
        QTest::addRow("monitor %d, released over its neighbour", i + 1) << i << true;
    }
}

// Each monitor's overlay shows its own part, shared with the snapshot; a drag with the
// real pointer gives exactly the device pixels under it, and a drag that ends over
// another monitor stops at the edge of the one it began on.
void tst_monitors::rectangleOnEachMonitor()
{
    QFETCH(int, index);
    QFETCH(bool, pastTheEdge);
    const Monitor& monitor = monitors_[index];
    frmScreenCapture& v = viewerOn(monitors_[(index + 1) % monitors_.size()]);
    v.Toolbar1_ButtonClick(QStringLiteral("Capture1"));
    QPointer<frmCaptureRectangle> form = &frmCaptureRectangle::instance();
    const QList<capture::MonitorOverlay*> overlays = form->overlays();
    QCOMPARE(overlays.size(), monitors_.size());
    const forms::Picture snapshot = v.picture();
    const uchar* first = snapshot.constBits();
    for (capture::MonitorOverlay* overlay : overlays) {
        QVERIFY(QTest::qWaitForWindowExposed(overlay));
        const uchar* bits = overlay->picture1().picture().constBits();
        QVERIFY2(bits >= first && bits < first + snapshot.sizeInBytes(),
                 "a monitor's part was copied");
    }
    screenShowsThePicture();

    // Odd device pixels, which lie between logical pixels at ratio 2.
    const QPoint press = monitor.device.topLeft() + QPoint(101, 61);
    QPoint release = press + QPoint(301, 181);
    if (pastTheEdge)
        release.setX(index == 0 ? monitor.device.right() + 150 : monitor.device.left() - 150);
    QVERIFY(xdotool(pointerTo(press) + QStringList {"mousedown", "1"}));
    QTRY_VERIFY(overlays[index]->Dragging());
    QVERIFY(xdotool(pointerTo((press + release) / 2)));
    QVERIFY(xdotool(pointerTo(release) + QStringList {"mouseup", "1"}));
    QTRY_VERIFY(!form);
    QTRY_VERIFY(v.isVisible());

    const QPoint end(std::clamp(release.x(), monitor.device.left(),
                                monitor.device.left() + monitor.device.width()),
                     std::clamp(release.y(), monitor.device.top(),
                                monitor.device.top() + monitor.device.height()));
    const QRect expected = QRect(press, end - QPoint(1, 1)).normalized();
    QCOMPARE(v.picture().size(), expected.size());
    QCOMPARE(v.picture().devicePixelRatio(), monitor.ratio);
    QCOMPARE(differingPixels(v.picture(), desktop_.copy(expected)), 0);
}

void tst_monitors::keyboardStartedOverlay_data()
{
    QTest::addColumn<int>("viewerOn");
    QTest::addColumn<int>("escapeOn");
    for (int i = 0; i < monitors_.size(); ++i) {
        const int other = (i + 1) % monitors_.size();
        QTest::addRow("viewer on %d, Escape on %d", i + 1, i + 1) << i << i;
        QTest::addRow("viewer on %d, Escape on %d", i + 1, other + 1) << i << other;
    }
}

// Alt+C, R with the pointer on another monitor than the viewer's: no monitor shows
// another's picture, and Escape from either monitor leaves every overlay.
void tst_monitors::keyboardStartedOverlay()
{
    QFETCH(int, viewerOn);
    QFETCH(int, escapeOn);
    const Monitor& home = monitors_[viewerOn];
    const Monitor& other = monitors_[(viewerOn + 1) % monitors_.size()];
    frmScreenCapture& v = this->viewerOn(home);
    QVERIFY(xdotool(pointerTo(other.device.center())));
    QVERIFY(xdotool({"key", "alt+c", "r"}));
    QTRY_VERIFY(shownOverlay());
    QPointer<frmCaptureRectangle> form = shownOverlay();
    for (capture::MonitorOverlay* overlay : form->overlays())
        QVERIFY(QTest::qWaitForWindowExposed(overlay));
    for (int i = 0; i < monitors_.size(); ++i) {
        QCOMPARE(form->overlays()[i]->screen(), monitors_[i].screen);
        QCOMPARE(form->overlays()[i]->geometry(), monitors_[i].logical);
    }
    screenShowsThePicture();

    QVERIFY(xdotool(pointerTo(monitors_[escapeOn].device.center())));
    QTRY_COMPARE(QWidget::keyboardGrabber(), form.data());
    QVERIFY(xdotool({"key", "Escape"}));
    QTRY_VERIFY(!form);
    QTRY_VERIFY(v.isVisible());
    QCOMPARE(differingOnMonitors(v.picture()), 0);
    QCOMPARE(v.screen(), home.screen);
}

void tst_monitors::viewerOpensOnItsOwnersScreen_data()
{
    perMonitorRows();
}

void tst_monitors::viewerOpensOnItsOwnersScreen()
{
    QFETCH(int, index);
    const Monitor& monitor = monitors_[index];
    plotter::frmMain& main = plotter::frmMain::instance();
    main.Show();
    main.move(monitor.logical.topLeft() + QPoint(10, 10));
    QTRY_COMPARE(main.screen(), monitor.screen);
    main.findChild<QPushButton*>(QStringLiteral("Capture"))->click();
    frmScreenCapture* v = frmScreenCapture::loaded();
    QVERIFY(v);
    QVERIFY(QTest::qWaitForWindowExposed(v));
    QTRY_COMPARE(v->screen(), monitor.screen);
    const QPoint offCentre
        = v->frameGeometry().center() - monitor.screen->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
}

QTEST_MAIN(tst_monitors)
#include "tst_monitors.moc"
