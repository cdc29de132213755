// Entry without the mouse: a keyboard cursor step against a one-pixel repaint of the main
// window, and pasting a list of 32,767 points against pressing the same points one by one.
// Each ratio is taken against its baseline in the same run. Run under an X server (xcb).
#include "coordinates/CoordinateText.h"
#include "plotter/frmMain.h"
#include "vertices/Module.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

plotter::frmMain& activeWindow()
{
    plotter::frmMain::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    plotter::frmMain& window = plotter::frmMain::instance();
    window.Show();
    (void)QTest::qWaitForWindowActive(&window);
    (void)QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; });
    return window;
}

void press(QWidget& window, QPointF at)
{
    QMouseEvent event(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
}

void ctrlKey(QWidget& window, Qt::Key key)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
    QTest::keyClick(target, key, Qt::ControlModifier);
}

double seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

// A step of the cursor (Ctrl+Right, then Ctrl+Left, so it stays put on average) from the key
// to the repainted window, against a repaint of one pixel, taken in turn. With a vertex far
// away, the band follows the cursor and repaints along its length too.
void BM_CursorStep(benchmark::State& state)
{
    plotter::frmMain& window = activeWindow();
    if (state.range(0) != 0)
        press(window, QPointF(60, 60));
    ctrlKey(window, Qt::Key_Right);
    QCoreApplication::processEvents();
    if (!window.keyboardCursor().isVisible()) {
        state.SkipWithError("the cursor did not come up");
        return;
    }

    // In runs of each in turn, so each sees the window system as it leaves it for itself.
    constexpr int kRun = 50;
    QElapsedTimer timer;
    double stepping = 0, repainting = 0;
    bool right = false;
    for (auto _ : state) {
        timer.start();
        for (int i = 0; i < kRun; ++i) {
            ctrlKey(window, right ? Qt::Key_Right : Qt::Key_Left);
            QCoreApplication::processEvents();
            right = !right;
        }
        const double steps = seconds(timer) / kRun;
        state.SetIterationTime(steps);
        stepping += steps;

        timer.restart();
        for (int i = 0; i < kRun; ++i) {
            window.update(QRect(900, 100, 1, 1));
            QCoreApplication::processEvents();
        }
        repainting += seconds(timer) / kRun;
    }
    state.counters["pixel_repaint_us"] = repainting / state.iterations() * 1e6;
    state.counters["ratio_to_pixel_repaint"] = stepping / repainting;
}
BENCHMARK(BM_CursorStep)
    ->ArgName("band")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime();

// 32,767 points on the fifth grid, as the list writes them: ten turns of a spiral inwards,
// so the closed outline crosses itself only along its closing edge. Neighbours often share a
// grid point; none but the first lies on vertex 1, which would close the polygon early.
std::vector<plotter::Vertex> spiral()
{
    constexpr int kCount = 32767;
    std::vector<plotter::Vertex> points;
    for (int i = 0; int(points.size()) < kCount; ++i) {
        const double t = double(i) / (kCount + 100);
        const double angle = t * 10 * 2 * M_PI;
        const double radius = 280 - 240 * t;
        const plotter::Vertex point {
            6.0f * std::nearbyint(float((600 + radius * std::cos(angle)) / 6)),
            6.0f * std::nearbyint(float((300 + radius * std::sin(angle)) / 6))};
        if (points.empty() || point != points.front())
            points.push_back(point);
    }
    return points;
}

// Both start from a closed polygon, start a new one, press every point and close it on
// vertex 1, and end with the window repainted.
void BM_PasteList(benchmark::State& state)
{
    plotter::frmMain& window = activeWindow();
    window.findChild<QRadioButton*>(QStringLiteral("o4"))->setChecked(true);
    const std::vector<plotter::Vertex> points = spiral();
    QStringList lines;
    for (const plotter::Vertex& point : points)
        lines << coordinates::CoordinateText(point);
    QGuiApplication::clipboard()->setText(coordinates::JoinCoordinateLines(lines));
    const auto* area = window.findChild<QLabel*>(QStringLiteral("lblArea"));
    ctrlKey(window, Qt::Key_V);
    QCoreApplication::processEvents();
    const QString pastedArea = area->text();
    if (plotter::VertexList() != points || pastedArea == QLatin1String("Area:")) {
        state.SkipWithError("the pasted list is not the polygon");
        return;
    }

    QElapsedTimer timer;
    double pasting = 0, pressing = 0;
    for (auto _ : state) {
        timer.start();
        for (const plotter::Vertex& point : points)
            press(window, QPointF(point.X, point.Y));
        press(window, QPointF(points.front().X, points.front().Y));
        QCoreApplication::processEvents();
        pressing += seconds(timer);
        if (area->text() != pastedArea)
            state.SkipWithError("pressing gave another area");

        timer.restart();
        ctrlKey(window, Qt::Key_V);
        QCoreApplication::processEvents();
        const double paste = seconds(timer);
        state.SetIterationTime(paste);
        pasting += paste;
    }
    state.counters["presses_ms"] = pressing / state.iterations() * 1e3;
    state.counters["ratio_to_presses"] = pasting / pressing;
}
BENCHMARK(BM_PasteList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
