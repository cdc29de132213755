// The rectangle overlay on the real X server (run it on a 3840 x 2160 screen):
//  - one mouse move while dragging (band update and the repaint it causes) against one
//    full repaint of the overlay, measured in the same run and printed as a ratio;
//  - release to the viewer shown with its new picture;
//  - peak memory of a whole rectangle capture above the idle viewer, as a multiple of
//    the snapshot's size.
#include "ProcessMemory.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include <cstdio>
#include <map>
#include <string>

using capture::frmCaptureRectangle;
using capture::frmScreenCapture;

namespace {

using benchmem::resetPeak;
using benchmem::statusKiB;

// Counts paint events on a widget, so a benchmark knows its repaint really happened.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

forms::Picture snapshotOfScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpr = screen->devicePixelRatio();
    forms::Picture picture((QSizeF(screen->geometry().size()) * dpr).toSize(),
                           QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    picture.setDevicePixelRatio(dpr);
    return picture;
}

void send(QWidget& target, QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

void waitForPaint(PaintCounter& counter, int before)
{
    while (counter.paints == before)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

struct Overlay {
    QPointer<frmCaptureRectangle> form = &frmCaptureRectangle::instance();
    Overlay(const forms::Picture& snapshot)
    {
        form->ShowPicture(snapshot);
        while (!form->windowHandle() || !form->windowHandle()->isExposed())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    ~Overlay()
    {
        if (form)
            form->close();
        while (form)
            QCoreApplication::processEvents();
    }
};

void BM_FullRepaint(benchmark::State& state)
{
    Overlay overlay(snapshotOfScreen());
    forms::PictureBox& picture1 = overlay.form->picture1();
    PaintCounter counter(picture1);
    for (auto _ : state) {
        const int before = counter.paints;
        picture1.update();
        waitForPaint(counter, before);
    }
    state.counters["pixels"] = double(picture1.width()) * picture1.height();
}

void BM_DragMove(benchmark::State& state)
{
    Overlay overlay(snapshotOfScreen());
    forms::PictureBox& picture1 = overlay.form->picture1();
    PaintCounter counter(picture1);
    const QPointF anchor(300, 200);
    send(picture1, QEvent::MouseButtonPress, anchor, Qt::LeftButton);
    QCoreApplication::processEvents();
    // A large band whose far corner moves by a few pixels, as a hand does.
    const QPointF corners[] = {QPointF(picture1.width() - 400, picture1.height() - 300),
                               QPointF(picture1.width() - 396, picture1.height() - 303)};
    int i = 0;
    for (auto _ : state) {
        const int before = counter.paints;
        send(picture1, QEvent::MouseMove, corners[i++ & 1], Qt::LeftButton);
        waitForPaint(counter, before);
    }
    // Leave without a selection.
    overlay.form->close();
}

// The band update alone (line regions and the update requests), without the repaint.
void BM_DragMoveNoPaint(benchmark::State& state)
{
    Overlay overlay(snapshotOfScreen());
    forms::PictureBox& picture1 = overlay.form->picture1();
    send(picture1, QEvent::MouseButtonPress, QPointF(300, 200), Qt::LeftButton);
    QCoreApplication::processEvents();
    const QPointF corners[] = {QPointF(picture1.width() - 400, picture1.height() - 300),
                               QPointF(picture1.width() - 396, picture1.height() - 303)};
    int i = 0;
    for (auto _ : state)
        send(picture1, QEvent::MouseMove, corners[i++ & 1], Qt::LeftButton);
    overlay.form->close();
}

// Release to the viewer shown and painted with its new picture.
void BM_ReleaseToViewer(benchmark::State& state)
{
    frmScreenCapture& viewer = frmScreenCapture::instance();
    viewer.show();
    while (!viewer.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    auto* picture2 = viewer.findChild<forms::PictureBox*>(QStringLiteral("Picture2"));
    PaintCounter counter(*picture2);
    for (auto _ : state) {
        state.PauseTiming();
        viewer.mnuRectangle_Click();
        QPointer<frmCaptureRectangle> form = &frmCaptureRectangle::instance();
        while (!form->windowHandle() || !form->windowHandle()->isExposed())
            QCoreApplication::processEvents();
        forms::PictureBox& picture1 = form->picture1();
        send(picture1, QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton);
        send(picture1, QEvent::MouseMove, QPointF(900, 700), Qt::LeftButton);
        QCoreApplication::processEvents();
        const int before = counter.paints;
        state.ResumeTiming();
        send(picture1, QEvent::MouseButtonRelease, QPointF(900, 700), Qt::NoButton);
        while (!viewer.isVisible() || !viewer.windowHandle()->isExposed())
            QCoreApplication::processEvents();
        waitForPaint(counter, before);
        state.PauseTiming();
        while (form)
            QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    viewer.close();
    while (frmScreenCapture::loaded())
        QCoreApplication::processEvents();
}

BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_DragMove)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(BM_DragMoveNoPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReleaseToViewer)->Unit(benchmark::kMillisecond)->Iterations(10);

// One rectangle capture from an idle viewer; returns the peak resident memory above the
// idle state, in bytes.
double capturePeak(frmScreenCapture& viewer, QPointF from, QPointF to)
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    resetPeak();
    const long idle = statusKiB("VmRSS:");
    viewer.mnuRectangle_Click();
    std::printf("  after capture + show: +%ld KiB (peak +%ld)\n", statusKiB("VmRSS:") - idle,
                statusKiB("VmHWM:") - idle);
    QPointer<frmCaptureRectangle> form = &frmCaptureRectangle::instance();
    while (!form->windowHandle() || !form->windowHandle()->isExposed())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::printf("  after overlay painted: +%ld KiB (peak +%ld)\n", statusKiB("VmRSS:") - idle,
                statusKiB("VmHWM:") - idle);
    forms::PictureBox& picture1 = form->picture1();
    send(picture1, QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(picture1, QEvent::MouseMove, to, Qt::LeftButton);
    QCoreApplication::processEvents();
    send(picture1, QEvent::MouseButtonRelease, to, Qt::NoButton);
    while (form || !viewer.isVisible())
        QCoreApplication::processEvents();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    std::printf("  after release: +%ld KiB (peak +%ld)\n", statusKiB("VmRSS:") - idle,
                statusKiB("VmHWM:") - idle);
    return (statusKiB("VmHWM:") - idle) * 1024.0;
}

// Keeps the mean real time of each run, to print ratios against the baseline.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize device = (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize();
    if (reporter.times.count("BM_FullRepaint/min_time:1.000")
        && reporter.times.count("BM_DragMove/min_time:1.000")) {
        std::printf("screen %dx%d device pixels\n", device.width(), device.height());
        std::printf("drag move / full repaint = %.4f\n",
                    reporter.times["BM_DragMove/min_time:1.000"]
                        / reporter.times["BM_FullRepaint/min_time:1.000"]);
    }

    // Peak memory: from an idle viewer with no picture, and from one holding a previous
    // full-screen capture. Skipped when only some benchmarks were asked for.
    if (qEnvironmentVariableIsSet("ZARNEL_BENCH_NO_MEMORY"))
        return 0;
    const double snapshotBytes = double(device.width()) * device.height() * 4;
    frmScreenCapture& viewer = frmScreenCapture::instance();
    viewer.show();
    while (!viewer.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    const QSizeF logical = screen->geometry().size();
    const double small = capturePeak(viewer, QPointF(100, 100), QPointF(900, 700));
    std::printf(
        "peak above idle viewer (no picture), 800x600 selection: %.2f x snapshot (%.1f MB)\n",
        small / snapshotBytes, snapshotBytes / 1e6);
    viewer.mnuFullScreen_Click();
    const double afterFull = capturePeak(viewer, QPointF(100, 100), QPointF(900, 700));
    std::printf("peak above idle viewer (holding a full-screen picture), 800x600 selection: %.2f x "
                "snapshot\n",
                afterFull / snapshotBytes);
    const double whole
        = capturePeak(viewer, QPointF(1, 1), QPointF(logical.width() - 1, logical.height() - 1));
    std::printf("peak above idle viewer (holding an 800x600 picture), near-full-screen selection: "
                "%.2f x snapshot\n",
                whole / snapshotBytes);
    viewer.close();
    return 0;
}
