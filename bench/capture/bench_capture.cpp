// Screen capture costs on X11, against a raw shared-memory grab of the root window made
// in the same run. Run on a 3840 x 2160 screen, e.g.
//   tests/support/with_xvfb.sh 3840x2160x24 build/bench/capture/bench_capture

#include "capture/grab/Capture.h"
#include "capture/grab/ScreenSettle.h"
#include "capture/grab/XcbShmGrab.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPalette>
#include <QScreen>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The baseline: one segment, one xcb_shm_get_image of the root, nothing else.
class RawShm {
public:
    RawShm()
    {
        conn_ = xcb_connect(nullptr, nullptr);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root;
    }
    ~RawShm()
    {
        release();
        xcb_disconnect(conn_);
    }
    void allocate(size_t size)
    {
        release();
        shmid_ = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
        addr_ = shmat(shmid_, nullptr, 0);
        seg_ = xcb_generate_id(conn_);
        std::free(xcb_request_check(conn_, xcb_shm_attach_checked(conn_, seg_, shmid_, 0)));
        shmctl(shmid_, IPC_RMID, nullptr);
    }
    void release()
    {
        if (!addr_)
            return;
        xcb_shm_detach(conn_, seg_);
        xcb_flush(conn_);
        shmdt(addr_);
        addr_ = nullptr;
    }
    bool grab(int width, int height)
    {
        auto* reply
            = xcb_shm_get_image_reply(conn_,
                                      xcb_shm_get_image(conn_, root_, 0, 0, width, height, ~0u,
                                                        XCB_IMAGE_FORMAT_Z_PIXMAP, seg_, 0),
                                      nullptr);
        std::free(reply);
        return reply != nullptr;
    }
    const void* pixels() const { return addr_; }

private:
    xcb_connection_t* conn_;
    xcb_window_t root_;
    int shmid_ = -1;
    void* addr_ = nullptr;
    xcb_shm_seg_t seg_ = 0;
};

bool screenHolds(benchmark::State& state, int width, int height)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize device = screen->geometry().size() * screen->devicePixelRatio();
    if (device.width() < width || device.height() < height) {
        state.SkipWithError("screen too small for this size");
        return false;
    }
    return true;
}

void BM_RawShm_First(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    if (!screenHolds(state, w, h))
        return;
    RawShm raw;
    for (auto _ : state) {
        raw.allocate(size_t(w) * h * 4); // fresh memory, faulted in by the grab
        benchmark::DoNotOptimize(raw.grab(w, h));
    }
}

void BM_RawShm_Warm(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    if (!screenHolds(state, w, h))
        return;
    RawShm raw;
    raw.allocate(size_t(w) * h * 4);
    raw.grab(w, h);
    for (auto _ : state)
        benchmark::DoNotOptimize(raw.grab(w, h));
}

// Every picture is still held while the next is taken (as the viewer holds its picture
// while the user captures again), so every grab gets fresh memory.
void BM_GrabWindowArea_First(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    if (!screenHolds(state, w, h))
        return;
    const qreal dpr = QGuiApplication::primaryScreen()->devicePixelRatio();
    std::vector<forms::Picture> held;
    for (auto _ : state) {
        held.push_back(capture::GrabWindowArea(capture::GetDesktopWindow(), false, 0, 0,
                                               int(w / dpr), int(h / dpr)));
        benchmark::DoNotOptimize(held.back().constBits());
    }
}

// The picture is released before the next grab, whose pixels reuse its memory.
void BM_GrabWindowArea_Warm(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    if (!screenHolds(state, w, h))
        return;
    const qreal dpr = QGuiApplication::primaryScreen()->devicePixelRatio();
    capture::GrabWindowArea(capture::GetDesktopWindow(), false, 0, 0, int(w / dpr), int(h / dpr));
    for (auto _ : state) {
        const forms::Picture picture = capture::GrabWindowArea(capture::GetDesktopWindow(), false,
                                                               0, 0, int(w / dpr), int(h / dpr));
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_QScreenGrabWindow(benchmark::State& state)
{
    const int w = int(state.range(0)), h = int(state.range(1));
    if (!screenHolds(state, w, h))
        return;
    QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpr = screen->devicePixelRatio();
    for (auto _ : state) {
        const QImage image = screen->grabWindow(0, 0, 0, int(w / dpr), int(h / dpr)).toImage();
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Whether the screen shows the window's client area as it paints it: a compositing
// manager may still be fading it in, as no user would capture before it shows.
bool drawnOnScreen(QWidget& window)
{
    const qreal dpr = window.devicePixelRatioF();
    const QRect device(window.geometry().topLeft() * dpr, window.geometry().size() * dpr);
    const std::optional<forms::Picture> shown = capture::xcbshm::GrabRoot(device);
    const QImage painted = window.grab().toImage();
    return shown && shown->convertToFormat(QImage::Format_RGB32)
                        == painted.convertToFormat(QImage::Format_RGB32);
}

// From the command to the picture painted in the viewer, and the part of it spent
// waiting for the viewer to leave the screen. The first captures also make the shared
// memory that later ones reuse: range(0) captures run untimed first.
void BM_FullScreenCommand(benchmark::State& state)
{
    capture::frmScreenCapture& viewer = capture::frmScreenCapture::instance();
    viewer.show();
    while (!viewer.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const auto capture = [&] {
        viewer.mnuFullScreen_Click();
        while (!viewer.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        viewer.findChild<forms::PictureBox*>(QStringLiteral("Picture2"))->repaint();
    };
    const auto settle = [&] {
        while (!drawnOnScreen(viewer))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    for (int64_t warm = 0; warm < state.range(0); ++warm) {
        settle();
        capture();
    }
    double waited = 0;
    for (auto _ : state) {
        state.PauseTiming();
        settle();
        state.ResumeTiming();
        capture();
        waited += std::chrono::duration<double>(viewer.lastHideWait()).count();
    }
    state.counters["hide_wait_ms"] = benchmark::Counter(waited * 1000 / state.iterations());
    viewer.close();
    QCoreApplication::processEvents();
}

// The baseline under a compositing manager that fades: from a plain window's opacity
// dropping to nothing to the first read-back of its area without it.
void BM_OpacityFade(benchmark::State& state)
{
    QWidget window;
    window.setPalette(QPalette(Qt::white));
    window.setAutoFillBackground(true);
    window.setGeometry(400, 300, 532, 363);
    const QRect device(window.geometry().topLeft() * window.devicePixelRatioF(),
                       window.geometry().size() * window.devicePixelRatioF());
    // Once an earlier window's fading out has ended.
    std::optional<forms::Picture> bare = capture::xcbshm::GrabRoot(device);
    for (std::optional<forms::Picture> before; before != bare;) {
        before = bare;
        QElapsedTimer still;
        still.start();
        while (!still.hasExpired(100))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        bare = capture::xcbshm::GrabRoot(device);
    }
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const auto gone = [&] { return capture::xcbshm::GrabRoot(device) == bare; };
    for (auto _ : state) {
        state.PauseTiming();
        window.windowHandle()->setOpacity(1.0);
        capture::SyncWithDisplay();
        while (!drawnOnScreen(window))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QElapsedTimer bound;
        bound.start();
        state.ResumeTiming();
        window.windowHandle()->setOpacity(0.0);
        capture::SyncWithDisplay();
        while (!gone() && !bound.hasExpired(2000))
            QCoreApplication::processEvents();
        if (bound.hasExpired(2000)) {
            state.SkipWithError("nothing here fades a window whose opacity drops");
            break;
        }
    }
}

long kilobytes(const char* file, const char* key)
{
    QFile f(QString::fromLatin1(file));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Memory one full-screen capture adds, shown and painted, over the bitmap's own size:
// shared memory system-wide plus this process's private memory.
void BM_FullScreenMemory(benchmark::State& state)
{
    for (auto _ : state) {
        capture::frmScreenCapture& viewer = capture::frmScreenCapture::instance();
        viewer.show();
        QCoreApplication::processEvents();
        const long before
            = kilobytes("/proc/meminfo", "Shmem:") + kilobytes("/proc/self/status", "RssAnon:");
        viewer.mnuFullScreen_Click();
        viewer.findChild<forms::PictureBox*>(QStringLiteral("Picture2"))->repaint();
        QCoreApplication::processEvents();
        const long after
            = kilobytes("/proc/meminfo", "Shmem:") + kilobytes("/proc/self/status", "RssAnon:");
        const QImage& picture = viewer.picture();
        const double bitmap = double(picture.width()) * picture.height() * 4 / 1024;
        state.counters["added_over_bitmap"] = benchmark::Counter((after - before) / bitmap);
        state.counters["bitmap_MB"] = benchmark::Counter(bitmap / 1024);
        viewer.close();
        QCoreApplication::processEvents();
    }
}

#define SIZES ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)
// First, while no earlier capture has left memory behind for reuse.
BENCHMARK(BM_FullScreenMemory)->Iterations(1)->Repetitions(1);
BENCHMARK(BM_RawShm_First) SIZES->Iterations(5);
BENCHMARK(BM_GrabWindowArea_First) SIZES->Iterations(5);
BENCHMARK(BM_RawShm_Warm) SIZES;
BENCHMARK(BM_GrabWindowArea_Warm) SIZES;
BENCHMARK(BM_QScreenGrabWindow) SIZES;
BENCHMARK(BM_FullScreenCommand)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FullScreenCommand)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpacityFade)->Unit(benchmark::kMillisecond)->Iterations(5);

// Prints each grab's time as a ratio to the raw grab of the same size and kind.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With repetitions, the median stands for the benchmark.
            if (run.error_occurred
                || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median"))
                continue;
            times_[run.run_name.str()] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nRatios to the raw shared-memory grab of the same size:\n");
        for (const char* size : {"1920/1080", "3840/2160"}) {
            const auto ratio = [&](const std::string& name, const std::string& base) {
                const auto a = times_.find(name), b = times_.find(base);
                if (a != times_.end() && b != times_.end() && b->second > 0)
                    std::printf("  %-40s %6.2f\n", name.c_str(), a->second / b->second);
            };
            const std::string s = size;
            ratio("BM_GrabWindowArea_First/" + s + "/iterations:5",
                  "BM_RawShm_First/" + s + "/iterations:5");
            ratio("BM_GrabWindowArea_Warm/" + s, "BM_RawShm_Warm/" + s);
            ratio("BM_QScreenGrabWindow/" + s, "BM_RawShm_Warm/" + s);
        }
        // A capture needs the screen it grabs to have kept still for a frame.
        const auto command = times_.find("BM_FullScreenCommand/3/iterations:10");
        const auto raw = times_.find("BM_RawShm_Warm/3840/2160");
        if (command != times_.end() && raw != times_.end())
            std::printf("\nFull Screen command, warm, to (raw grab + one 60 Hz frame) at 4K: "
                        "%.2f\n",
                        command->second / (raw->second + 1000.0 / 60));
        const auto fade = times_.find("BM_OpacityFade/iterations:5");
        if (command != times_.end() && fade != times_.end() && fade->second > 0)
            std::printf("Full Screen command, warm, to the compositing manager's fade: %.2f\n",
                        command->second / fade->second);
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
