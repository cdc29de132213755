// Main window costs: a band move against a full repaint, taking back a vertex against a
// full repaint, and start-up to the first painted frame against a bare window's. Run under
// an X server (xcb).
#include "plotter/frmMain.h"
#include "vertices/Module.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// Counts paints of a widget, so start-up can wait for the first frame.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& widget) { widget.installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

void waitForFirstPaint(const FirstPaint& watcher)
{
    while (!watcher.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void unloadMainWindow()
{
    plotter::frmMain::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

plotter::frmMain& shownWindow()
{
    plotter::frmMain& window = plotter::frmMain::instance();
    window.Show();
    (void)QTest::qWaitForWindowExposed(&window);
    return window;
}

void sendMove(QWidget& window, QPointF at)
{
    QMouseEvent move(QEvent::MouseMove, at, window.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
}

void BM_FullRepaint(benchmark::State& state)
{
    plotter::frmMain& window = shownWindow();
    for (auto _ : state) {
        window.update();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_BandMove(benchmark::State& state)
{
    plotter::frmMain& window = shownWindow();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(150, 450));
    int step = 0;
    for (auto _ : state) {
        // The pointer sweeps across the plane, so the band is long and diagonal.
        const double x = 300 + (step % 60) * 15;
        const double y = 100 + (step % 20) * 15;
        ++step;
        sendMove(window, QPointF(x, y));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_BandMove)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The drawing alone, without the trip to the X server: the region one band move
// repaints (old and new line) against the whole window.
void BM_RenderFull(benchmark::State& state)
{
    plotter::frmMain& window = shownWindow();
    QImage target(window.size() * window.devicePixelRatio(), QImage::Format_RGB32);
    target.setDevicePixelRatio(window.devicePixelRatio());
    for (auto _ : state)
        window.render(&target);
}
BENCHMARK(BM_RenderFull)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RenderBandRegion(benchmark::State& state)
{
    plotter::frmMain& window = shownWindow();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(150, 450));
    sendMove(window, QPointF(1000, 120));
    const QRegion before = window.rubberBand().region();
    sendMove(window, QPointF(1015, 135));
    const QRegion dirty = before + window.rubberBand().region();
    QImage target(window.size() * window.devicePixelRatio(), QImage::Format_RGB32);
    target.setDevicePixelRatio(window.devicePixelRatio());
    for (auto _ : state)
        window.render(&target, QPoint(), dirty);
}
BENCHMARK(BM_RenderBandRegion)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The floor under both: a move the window ignores (below the plane) and an event pass.
void BM_IgnoredMove(benchmark::State& state)
{
    plotter::frmMain& window = shownWindow();
    for (auto _ : state) {
        sendMove(window, QPointF(600, 630));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_IgnoredMove)->Unit(benchmark::kMicrosecond)->UseRealTime();

// 1,000 presses: along an outline traced in three shrinking rounds (short edges, as a
// user tracing a shape places them), or scattered over the plane (long edges that cross
// many others, the worst case for a local redraw).
std::vector<QPointF> thousandPresses(bool scattered)
{
    std::vector<QPointF> presses;
    QRandomGenerator random(13);
    for (int i = 0; i < 1000; ++i) {
        if (scattered) {
            // On the 1/5 grid already, and never on vertex 1, which would close the polygon.
            QPointF at;
            do
                at = QPointF(6 * random.bounded(201), 6 * random.bounded(101));
            while (!presses.empty() && at == presses.front());
            presses.push_back(at);
            continue;
        }
        const double t = i / 1000.0;
        const double angle = t * 3 * 2 * M_PI;
        const double radius = 1 - 0.25 * t;
        presses.emplace_back(600 + 560 * radius * std::cos(angle),
                             300 + 280 * radius * std::sin(angle));
    }
    return presses;
}

void sendPress(QWidget& window, QPointF at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &press);
}

// Backspace with 1,000 vertices, timed from the key to the repainted window, as a ratio
// to a full repaint measured in the same run. The vertex goes back between iterations.
void BM_TakeBackOneOf1000(benchmark::State& state)
{
    unloadMainWindow();
    plotter::frmMain& window = shownWindow();
    (void)QTest::qWaitForWindowActive(&window);
    window.findChild<QRadioButton*>(QStringLiteral("o4"))->setChecked(true);
    for (QPointF at : thousandPresses(state.range(0) != 0))
        sendPress(window, at);
    sendMove(window, QPointF(600, 300));
    QCoreApplication::processEvents();
    if (plotter::VertexList().size() != 1000) {
        state.SkipWithError("the presses did not make 1,000 vertices");
        return;
    }

    QElapsedTimer timer;
    timer.start();
    constexpr int kRepaints = 200;
    for (int i = 0; i < kRepaints; ++i) {
        window.update();
        QCoreApplication::processEvents();
    }
    const double fullRepaint = timer.nsecsElapsed() / 1e9 / kRepaints;

    double takingBack = 0;
    for (auto _ : state) {
        const plotter::Vertex last = plotter::VertexList().back();
        timer.restart();
        QTest::keyClick(&window, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        takingBack += seconds;
        sendPress(window, QPointF(last.X, last.Y));
        QCoreApplication::processEvents();
    }
    if (plotter::VertexList().size() != 1000)
        state.SkipWithError("the vertex list did not keep its 1,000 vertices");
    state.counters["full_repaint_us"] = fullRepaint * 1e6;
    state.counters["ratio_to_full_repaint"] = takingBack / state.iterations() / fullRepaint;
}
BENCHMARK(BM_TakeBackOneOf1000)
    ->ArgName("scattered")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime();

void BM_StartupBareWindow(benchmark::State& state)
{
    for (auto _ : state) {
        auto window = std::make_unique<QWidget>();
        window->resize(1201, 639);
        FirstPaint watcher(*window);
        window->show();
        waitForFirstPaint(watcher);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupBareWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

void BM_StartupMainWindow(benchmark::State& state)
{
    unloadMainWindow(); // earlier benchmarks leave it shown
    for (auto _ : state) {
        plotter::frmMain& window = plotter::frmMain::instance();
        FirstPaint watcher(window);
        window.Show();
        waitForFirstPaint(watcher);
        state.PauseTiming();
        unloadMainWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
