// Reading the screen back until a hidden window has gone, against a real X server: the
// wait ends only once the area has kept still for a frame, however long something beneath
// goes on changing, and says so when the window never leaves.
#include "capture/grab/ScreenReadBack.h"
#include "capture/grab/ScreenSettle.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <chrono>

using namespace capture;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

class Swatch : public QWidget {
public:
    explicit Swatch(QColor color)
        : color_(color)
    {
        setWindowFlags(Qt::FramelessWindowHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(100, 100, 200, 150);
    }
    void setColor(QColor color)
    {
        color_ = color;
        repaint();
        SyncWithDisplay(); // on the screen once the server has the request
        painted = Clock::now();
    }
    Clock::time_point painted = Clock::now();

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), color_); }

private:
    QColor color_;
};

} // namespace

class tst_screenReadBack : public QObject {
    Q_OBJECT
private slots:
    void waitsForAStillFrame_data();
    void waitsForAStillFrame();
    void windowThatStaysIsNotGone();
};

void tst_screenReadBack::waitsForAStillFrame_data()
{
    QTest::addColumn<bool>("seenGone");
    QTest::addColumn<int>("changesForMs");
    QTest::newRow("gone, still beneath") << false << 0;
    QTest::newRow("gone, beneath changing") << false << 150;
    QTest::newRow("seen gone, still") << true << 0;
    QTest::newRow("seen gone, beneath changing") << true << 150;
}

// What lies beneath repaints every few milliseconds for a while: the wait ends a frame or
// more after its last change, never before.
void tst_screenReadBack::waitsForAStillFrame()
{
    QFETCH(bool, seenGone);
    QFETCH(int, changesForMs);
    Swatch beneath(Qt::blue);
    beneath.show();
    QVERIFY(QTest::qWaitForWindowExposed(&beneath));
    Swatch window(Qt::white);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setColor(Qt::white);
    const std::optional<ScreenReadBack> readBack = ScreenReadBack::Watch(window);
    QVERIFY(readBack);

    int flips = 0;
    QTimer flicker;
    // A new colour each time: a change the reads missed could not look like none.
    QObject::connect(&flicker, &QTimer::timeout, &beneath,
                     [&] { beneath.setColor(QColor::fromHsv((++flips * 37) % 360, 255, 255)); });
    const Clock::time_point hidden = Clock::now();
    window.hide();
    QVERIFY(WaitUntilOffScreen(window, 1s));
    SyncWithDisplay();
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, &flicker, &QTimer::stop);
    if (changesForMs > 0) {
        flicker.start(5);
        stop.start(changesForMs);
    }
    const bool gone = seenGone ? readBack->WaitUntilStill(2s) : readBack->WaitUntilGone(2s);
    const Clock::time_point ended = Clock::now();
    QVERIFY(gone);
    QVERIFY(!flicker.isActive());
    const Clock::time_point lastChange = changesForMs > 0 ? beneath.painted : hidden;
    // 60 Hz on Xvfb: a frame is 16.7 ms.
    QVERIFY2(ended - lastChange >= 16ms,
             qPrintable(QStringLiteral("ended %1 ms after the last change")
                            .arg(std::chrono::duration<double, std::milli>(ended - lastChange)
                                     .count())));
}

void tst_screenReadBack::windowThatStaysIsNotGone()
{
    Swatch window(Qt::white);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const std::optional<ScreenReadBack> readBack = ScreenReadBack::Watch(window);
    QVERIFY(readBack);
    QVERIFY(!readBack->WaitUntilGone(300ms, 100ms));
}

QTEST_MAIN(tst_screenReadBack)
#include "tst_screenReadBack.moc"
