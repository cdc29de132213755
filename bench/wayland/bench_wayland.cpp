// Wayland session costs, each against a baseline measured in the same run. Run as a client
// of the headless session that tools/lib/wayland.sh starts, e.g.
//   tests/support/on_wayland.sh wayland build/bench/wayland/bench_wayland
// - Capture Full Screen, command to picture shown, against a bare Screenshot portal call;
// - that portal call against grim's direct screencopy;
// - a band move on the main window fading itself against the same move on it opaque.
#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"
#include "forms/wayland/SurfaceFrame.h"
#include "plotter/ModFunc.h"
#include "plotter/frmMain.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// Puts the outputs at a size and waits until Qt has seen it.
bool resizeOutputs(int width, int height)
{
    const QByteArray sock = qgetenv("ZARNEL_SWAYSOCK");
    if (QProcess::execute(QStringLiteral("swaymsg"),
                          {QStringLiteral("-s"), QString::fromLocal8Bit(sock),
                           QStringLiteral("output"), QStringLiteral("*"),
                           QStringLiteral("resolution"),
                           QStringLiteral("%1x%2").arg(width).arg(height)})
        != 0)
        return false;
    for (int i = 0; i < 400 && QGuiApplication::primaryScreen()->size() != QSize(width, height);
         ++i)
        QTest::qWait(10);
    return QGuiApplication::primaryScreen()->size() == QSize(width, height);
}

bool settledPortal();

// The minimal client: one Screenshot call, its Response, the file removed.
class BarePortal : public QObject {
    Q_OBJECT
public:
    bool shoot()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString token = QStringLiteral("bench%1").arg(++count_);
        const QString path
            = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                  .arg(bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_')), token);
        bus.connect(QString(), path, QStringLiteral("org.freedesktop.portal.Request"),
                    QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
        call << QString()
             << QVariantMap {{QStringLiteral("handle_token"), token},
                             {QStringLiteral("interactive"), false}};
        ok_ = false;
        bus.asyncCall(call);
        loop_.exec();
        bus.disconnect(QString(), path, QStringLiteral("org.freedesktop.portal.Request"),
                       QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
        return ok_;
    }

public slots:
    void onResponse(uint response, const QVariantMap& results)
    {
        response_ = response;
        ok_ = response == 0
              && QFile::remove(QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile());
        loop_.quit();
    }

private:
    QEventLoop loop_;
    static inline int count_ = 0; // tokens never repeat within the run
    bool ok_ = false;

public:
    uint response_ = 99;
};

// Right after a mode change the portal answers 2 for a while: wait until it serves again.
bool settledPortal()
{
    BarePortal portal;
    for (int i = 0; i < 20; ++i) {
        if (portal.shoot())
            return true;
        QTest::qWait(250);
    }
    return false;
}

void BM_PortalCall(benchmark::State& state)
{
    if (!resizeOutputs(int(state.range(0)), int(state.range(1))) || !settledPortal())
        return state.SkipWithError("cannot resize the outputs");
    BarePortal portal;
    for (auto _ : state)
        if (!portal.shoot())
            return state.SkipWithError(
                ("the portal gave no picture, response " + std::to_string(portal.response_))
                    .c_str());
}

void BM_GrimScreencopy(benchmark::State& state)
{
    if (!resizeOutputs(int(state.range(0)), int(state.range(1))))
        return state.SkipWithError("cannot resize the outputs");
    for (auto _ : state) {
        QProcess grim;
        grim.setStandardOutputFile(QProcess::nullDevice());
        grim.start(QStringLiteral("grim"),
                   {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
        if (!grim.waitForFinished() || grim.exitCode() != 0)
            return state.SkipWithError("grim failed");
    }
}

void BM_FullScreenCommand(benchmark::State& state)
{
    if (!resizeOutputs(int(state.range(0)), int(state.range(1))) || !settledPortal())
        return state.SkipWithError("cannot resize the outputs");
    capture::frmScreenCapture& viewer = capture::frmScreenCapture::instance();
    viewer.show();
    (void)QTest::qWaitForWindowExposed(&viewer);
    auto* image = viewer.findChild<forms::PictureBox*>(QStringLiteral("Picture2"));
    for (auto _ : state) {
        // The viewer is back on the screen, as when the user clicks again.
        state.PauseTiming();
        (void)QTest::qWaitForWindowExposed(&viewer);
        forms::wayland::WaitUntilDrawn(*viewer.windowHandle(), std::chrono::seconds(1));
        state.ResumeTiming();
        viewer.mnuFullScreen_Click();
        image->repaint();
        QCoreApplication::processEvents();
        if (viewer.picture().isNull())
            return state.SkipWithError("no picture");
    }
    state.counters["hide_wait_ms"]
        = std::chrono::duration<double, std::milli>(viewer.lastHideWait()).count();
    viewer.close();
}

void bandMoves(benchmark::State& state, bool translucent)
{
    resizeOutputs(1920, 1080);
    plotter::frmMain& window = plotter::frmMain::instance();
    window.Show();
    (void)QTest::qWaitForWindowExposed(&window);
    plotter::SetTransparency(window, translucent ? 100 : 255);
    // Every run drags the band from a first vertex of its own: left from the last run, the
    // same click would add a vertex to the open polygon, or close it.
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(150, 450));
    int step = 0;
    for (auto _ : state) {
        const QPointF at(300 + (step % 60) * 15, 100 + (step % 20) * 15);
        ++step;
        QMouseEvent move(QEvent::MouseMove, at, window.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        // The move asked for the band's old and new strips only; they paint and reach the
        // compositor here, as they would between two moves of a real pointer.
        QCoreApplication::processEvents();
    }
}
void BM_BandMoveOpaque(benchmark::State& state)
{
    bandMoves(state, false);
}
void BM_BandMoveTranslucent(benchmark::State& state)
{
    bandMoves(state, true);
}

#define SIZES ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK(BM_GrimScreencopy) SIZES->Iterations(10);
BENCHMARK(BM_PortalCall) SIZES->Iterations(10);
BENCHMARK(BM_FullScreenCommand) SIZES->Iterations(10);
// Repeated: the median of each stands against a busy moment of the shared machine.
BENCHMARK(BM_BandMoveOpaque)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_BandMoveTranslucent)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(3);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            // With repetitions, the median stands for the benchmark.
            if (!run.error_occurred
                && (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median")) {
                times_[run.run_name.str()] = run.GetAdjustedRealTime();
                times_[run.run_name.str() + "/cpu"] = run.GetAdjustedCPUTime();
            }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto ratio = [&](const char* what, const std::string& name, const std::string& base) {
            const auto a = times_.find(name), b = times_.find(base);
            if (a != times_.end() && b != times_.end() && b->second > 0)
                std::printf("  %-48s %6.2f\n", what, a->second / b->second);
        };
        std::printf("\nRatios:\n");
        for (const std::string size : {"1920/1080", "3840/2160"}) {
            const std::string it = "/iterations:10/real_time";
            ratio(("full-screen command / portal call " + size).c_str(),
                  "BM_FullScreenCommand/" + size + it, "BM_PortalCall/" + size + it);
            ratio(("portal call / grim screencopy " + size).c_str(), "BM_PortalCall/" + size + it,
                  "BM_GrimScreencopy/" + size + it);
        }
        ratio("band move translucent / opaque", "BM_BandMoveTranslucent/repeats:3/real_time",
              "BM_BandMoveOpaque/repeats:3/real_time");
        ratio("band move translucent / opaque, CPU time",
              "BM_BandMoveTranslucent/repeats:3/real_time/cpu",
              "BM_BandMoveOpaque/repeats:3/real_time/cpu");
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    resizeOutputs(1920, 1080);
    return 0;
}

#include "bench_wayland.moc"
