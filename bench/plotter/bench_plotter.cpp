// Main window costs: a band move against a full repaint, and start-up to the first
// painted frame against a bare window's. Run under an X server (xcb).
#include "plotter/frmMain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <benchmark/benchmark.h>

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

void unloadMainWindow()
{
    plotter::frmMain::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

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
