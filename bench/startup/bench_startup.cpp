// Start-up of the program as a Wayland client against the same program as an X11 client
// of the same session's Xwayland: time to the main window's first frame and peak resident
// memory, each as a ratio measured in the same run. Run in the headless session, e.g.
//   tests/support/on_wayland.sh wayland build/bench/startup/bench_startup
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

struct Sample {
    double ms = 0;
    double mib = 0;
};

// One start of the helper on a platform, or nothing when it failed.
std::optional<Sample> startOnce(const QString& platform)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (platform == QLatin1String("xcb"))
        environment.insert(QStringLiteral("DISPLAY"),
                           environment.value(QStringLiteral("ZARNEL_XWAYLAND_DISPLAY")));
    QProcess helper;
    helper.setProcessEnvironment(environment);
    helper.start(QCoreApplication::applicationDirPath() + QStringLiteral("/zarnel_first_frame"),
                 {});
    if (!helper.waitForFinished(30000) || helper.exitCode() != 0)
        return std::nullopt;
    const QList<QByteArray> fields = helper.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        return std::nullopt;
    return Sample {fields[0].toDouble() / 1000.0, fields[1].toDouble() / 1024.0};
}

std::map<std::string, Sample> means;

void startUp(benchmark::State& state, const char* platform)
{
    Sample sum;
    int count = 0;
    for (auto _ : state) {
        const std::optional<Sample> sample = startOnce(QString::fromLatin1(platform));
        if (!sample) {
            state.SkipWithError("the helper did not show its first frame");
            return;
        }
        state.SetIterationTime(sample->ms / 1000.0);
        sum.ms += sample->ms;
        sum.mib += sample->mib;
        ++count;
    }
    const Sample mean {sum.ms / count, sum.mib / count};
    means[platform] = mean;
    state.counters["first_frame_ms"] = mean.ms;
    state.counters["peak_MiB"] = mean.mib;
}

} // namespace

BENCHMARK_CAPTURE(startUp, x11, "xcb")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8);
BENCHMARK_CAPTURE(startUp, wayland, "wayland")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (means.count("xcb") && means.count("wayland")) {
        const Sample& x = means["xcb"];
        const Sample& w = means["wayland"];
        std::printf("Wayland / X11: first frame %.2f (%.1f / %.1f ms), peak memory %.2f (%.1f / "
                    "%.1f MiB)\n",
                    w.ms / x.ms, w.ms, x.ms, w.mib / x.mib, w.mib, x.mib);
    }
    return 0;
}
