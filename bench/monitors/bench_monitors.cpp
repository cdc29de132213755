// The rectangle capture on two 4K monitors against one, in the same run. The benchmark
// sets the X server's monitors itself, so run it on a screen two 4K monitors wide:
//   tests/support/with_xvfb.sh 7680x2160x24 monitors=3840x2160+0+0
//   build/bench/monitors/bench_monitors
//  - from the command to every overlay shown, with one and with two monitors, printed as a
//    ratio (also without the wait for the viewer to leave the screen, which both share);
//  - peak memory of a two-monitor rectangle capture above the idle viewer, as a multiple of
//    the snapshot's size.
#include "ProcessMemory.h"
#include "capture/overlay/MonitorOverlay.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;

namespace {

using benchmem::resetPeak;
using benchmem::statusKiB;

// One 4K monitor at the left of the screen, or two side by side.
bool setMonitors(int count)
{
    if (QGuiApplication::screens().size() != count) {
        QProcess::execute(QStringLiteral("xrandr"),
                          count == 2 ? QStringList {"--setmonitor", "monitor2",
                                                    "3840/1016x2160/572+3840+0", "none"}
                                     : QStringList {"--delmonitor", "monitor2"});
    }
    for (int i = 0; i < 2000 && QGuiApplication::screens().size() != count; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return QGuiApplication::screens().size() == count;
}

frmScreenCapture& idleViewer()
{
    frmScreenCapture& viewer = frmScreenCapture::instance();
    viewer.show();
    while (!viewer.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    return viewer;
}

// Runs the command and returns once every monitor's overlay is on the screen.
QPointer<frmCaptureRectangle> startCapture(frmScreenCapture& viewer)
{
    viewer.mnuRectangle_Click();
    QPointer<frmCaptureRectangle> form = &frmCaptureRectangle::instance();
    const auto allShown = [&] {
        for (const capture::MonitorOverlay* overlay : form->overlays()) {
            if (!overlay->windowHandle() || !overlay->windowHandle()->isExposed())
                return false;
        }
        return true;
    };
    while (!allShown())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents(); // their first paint
    return form;
}

void finish(frmScreenCapture& viewer, QPointer<frmCaptureRectangle>& form)
{
    if (form)
        form->close();
    while (form || !viewer.isVisible() || !viewer.windowHandle()->isExposed())
        QCoreApplication::processEvents();
}

void BM_CommandToOverlays(benchmark::State& state)
{
    if (!setMonitors(int(state.range(0)))) {
        state.SkipWithError("the X server's monitors could not be set");
        return;
    }
    frmScreenCapture& viewer = idleViewer();
    double hideWait = 0;
    for (auto _ : state) {
        QPointer<frmCaptureRectangle> form = startCapture(viewer);
        hideWait += std::chrono::duration<double>(viewer.lastHideWait()).count();
        state.PauseTiming();
        finish(viewer, form);
        state.ResumeTiming();
    }
    state.counters["hide_wait_s"] = hideWait / double(state.iterations());
    viewer.close();
    while (frmScreenCapture::loaded())
        QCoreApplication::processEvents();
}
BENCHMARK(BM_CommandToOverlays)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(10);

void send(QWidget& target, QEvent::Type type, QPointF at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons
        = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

// One rectangle capture on the second monitor from an idle viewer; the peak resident
// memory above the idle state, in bytes.
double capturePeak(frmScreenCapture& viewer, QPointF from, QPointF to)
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    resetPeak();
    const long idle = statusKiB("VmRSS:");
    QPointer<frmCaptureRectangle> form = startCapture(viewer);
    std::printf("  overlays shown: +%ld KiB (peak +%ld)\n", statusKiB("VmRSS:") - idle,
                statusKiB("VmHWM:") - idle);
    forms::PictureBox& picture1 = form->overlays().last()->picture1();
    send(picture1, QEvent::MouseButtonPress, from);
    send(picture1, QEvent::MouseMove, to);
    QCoreApplication::processEvents();
    send(picture1, QEvent::MouseButtonRelease, to);
    finish(viewer, form);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    std::printf("  after release: +%ld KiB (peak +%ld)\n", statusKiB("VmRSS:") - idle,
                statusKiB("VmHWM:") - idle);
    return (statusKiB("VmHWM:") - idle) * 1024.0;
}

// Keeps the mean real time of each run, to print ratios against the baseline.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::pair<double, double>> runs; // time, hide wait (ms)
    void ReportRuns(const std::vector<Run>& reported) override
    {
        for (const Run& run : reported) {
            const auto wait = run.counters.find("hide_wait_s");
            runs[run.benchmark_name()]
                = {run.GetAdjustedRealTime(),
                   wait == run.counters.end() ? 0.0 : wait->second.value * 1e3};
        }
        ConsoleReporter::ReportRuns(reported);
    }
};

// Peak memory of two-monitor rectangle captures above the idle viewer. Run before the
// timed benchmarks, so the first is the process's first capture: its grab segment is new.
// Later captures reuse the grab segment, which the idle process then already holds. The
// overlays add no window buffers: the X server holds their pictures.
void measureMemory()
{
    if (qEnvironmentVariableIsSet("ZARNEL_BENCH_NO_MEMORY") || !setMonitors(2))
        return;
    const QScreen* second = QGuiApplication::screens().last();
    const QSize desktop(QGuiApplication::primaryScreen()->virtualGeometry().size());
    const double snapshotBytes = double(desktop.width()) * desktop.height() * 4;
    frmScreenCapture& viewer = idleViewer();
    const QSizeF logical = second->geometry().size();
    const double first = capturePeak(viewer, QPointF(100, 100), QPointF(900, 700));
    std::printf(
        "peak above idle viewer, first capture, 800x600 selection: %.2f x snapshot (%.1f MB)\n",
        first / snapshotBytes, snapshotBytes / 1e6);
    const double small = capturePeak(viewer, QPointF(100, 100), QPointF(900, 700));
    std::printf("peak above idle viewer, next capture, 800x600 selection: %.2f x snapshot\n",
                small / snapshotBytes);
    viewer.mnuFullScreen_Click();
    const double whole
        = capturePeak(viewer, QPointF(1, 1), QPointF(logical.width() - 1, logical.height() - 1));
    std::printf("peak above idle viewer (holding a full-desktop picture), whole second monitor: "
                "%.2f x snapshot\n",
                whole / snapshotBytes);
    // Just under the share that is still copied: the worst case.
    const double copied
        = capturePeak(viewer, QPointF(0, 0), QPointF(logical.width() * 0.58, logical.height()));
    std::printf("peak above idle viewer, 29%% of the desktop (copied): %.2f x snapshot\n\n",
                copied / snapshotBytes);
    viewer.close();
    while (frmScreenCapture::loaded())
        QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    measureMemory();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto one = reporter.runs.find("BM_CommandToOverlays/1/iterations:10");
    const auto two = reporter.runs.find("BM_CommandToOverlays/2/iterations:10");
    if (one != reporter.runs.end() && two != reporter.runs.end()) {
        const auto [oneTime, oneWait] = one->second;
        const auto [twoTime, twoWait] = two->second;
        std::printf("command to every overlay shown, two 4K monitors / one: %.2f\n",
                    twoTime / oneTime);
        std::printf(
            "the same without the wait for the viewer to leave the screen: %.2f (%.1f / %.1f ms)\n",
            (twoTime - twoWait) / (oneTime - oneWait), twoTime - twoWait, oneTime - oneWait);
    }
    return 0;
}
