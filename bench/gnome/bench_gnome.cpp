// Capture Full Screen on GNOME Shell on Wayland, command to picture shown, against a bare
// Screenshot portal call from a minimal client, both in the same run. Run as a client of the
// headless session that tools/lib/gnome.sh starts, with the screenshot permission granted:
//   tests/support/on_gnome.sh wayland build/bench/gnome/bench_gnome
// Both start from the same screen: the viewer shown and at rest, as the shell tells.
#include "GnomeShell.h"

#include "capture/viewer/frmScreenCapture.h"
#include "forms/PictureBox.h"
#include "forms/WaylandBuffers.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QUrl>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

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
        ok_ = response == 0
              && QFile::remove(QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile());
        loop_.quit();
    }

private:
    QEventLoop loop_;
    static inline int count_ = 0; // tokens never repeat within the run
    bool ok_ = false;
};

// Whether the shell shows the window at rest: whole, opaque, no animation running.
bool settled(const QWidget& window)
{
    return gnome::eval(QStringLiteral("(w => { const a = w && w.get_compositor_private(); "
                                      "return !!a && a.opacity === 255 && a.scale_x === 1 && "
                                      "!a.get_transition('opacity') && "
                                      "!a.get_transition('scale-x'); })(%1)")
                           .arg(gnome::windowOf(window.windowTitle())))
           == QLatin1String("true");
}

void atRest(QWidget& window)
{
    (void)QTest::qWaitForWindowExposed(&window);
    for (int i = 0; i < 200 && !settled(window); ++i)
        QTest::qWait(10);
}

void BM_PortalCall(benchmark::State& state)
{
    // The same screen as the command sees: the viewer shown and at rest.
    capture::frmScreenCapture& viewer = capture::frmScreenCapture::instance();
    viewer.show();
    BarePortal portal;
    for (auto _ : state) {
        state.PauseTiming();
        atRest(viewer);
        state.ResumeTiming();
        if (!portal.shoot())
            return state.SkipWithError("the portal gave no picture");
    }
    viewer.hide();
}

void BM_FullScreenCommand(benchmark::State& state)
{
    capture::frmScreenCapture& viewer = capture::frmScreenCapture::instance();
    viewer.show();
    (void)QTest::qWaitForWindowExposed(&viewer);
    auto* image = viewer.findChild<forms::PictureBox*>(QStringLiteral("Picture2"));
    for (auto _ : state) {
        // The viewer is back on the screen and done animating in, as when the user clicks
        // again.
        state.PauseTiming();
        atRest(viewer);
        state.ResumeTiming();
        viewer.mnuFullScreen_Click();
        image->repaint();
        QCoreApplication::processEvents();
        if (viewer.picture().isNull())
            return state.SkipWithError("no picture");
    }
    state.counters["hide_wait_ms"]
        = std::chrono::duration<double, std::milli>(viewer.lastHideWait()).count();
    viewer.hide(); // kept: a closed viewer is deleted later, after the next repetition began
}

// Repeated: the medians stand against busy moments of the shared machine.
BENCHMARK(BM_PortalCall)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(3);
BENCHMARK(BM_FullScreenCommand)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(3);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate
                && run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto command = medians_.find("BM_FullScreenCommand");
        const auto portal = medians_.find("BM_PortalCall");
        if (command != medians_.end() && portal != medians_.end() && portal->second > 0)
            std::printf("\nRatio:\n  %-48s %6.2f\n", "full-screen command / portal call",
                        command->second / portal->second);
    }

private:
    std::map<std::string, double> medians_;
};

void paintWithoutGl()
{
    forms::PaintWithoutGl();
}

} // namespace

int main(int argc, char** argv)
{
    paintWithoutGl();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

#include "bench_gnome.moc"
