// Starts as the program does, shows the main window and, once its first frame is on the
// screen, prints how long that took since the process began and the peak resident
// memory so far: "<microseconds> <KiB>". bench_startup runs it once per sample.
#include "ProcessMemory.h"
#include "forms/DisplayPainting.h"
#include "forms/NoStoredSettings.h"
#include "forms/WaylandBuffers.h"
#include "plotter/frmMain.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace {

long long microsecondsSinceStart()
{
    // The kernel's own start time of this process, so the loader's work counts too.
    timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double started = fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
    return static_cast<long long>((now.tv_sec + now.tv_nsec / 1e9 - started) * 1e6);
}

// The first frame is on the screen once the window's next update request comes: on
// Wayland that waits for the compositor's frame callback of the first commit.
class FirstFrame : public QObject {
public:
    explicit FirstFrame(QWidget& window)
        : window_(window)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window_ && event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            window_.windowHandle()->installEventFilter(this);
            QMetaObject::invokeMethod(
                this, [this] { window_.windowHandle()->requestUpdate(); }, Qt::QueuedConnection);
        } else if (watched == window_.windowHandle() && event->type() == QEvent::UpdateRequest) {
            std::printf("%lld %ld\n", microsecondsSinceStart(), benchmem::statusKiB("VmHWM:"));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }
        return false;
    }

private:
    QWidget& window_;
    bool painted_ = false;
};

} // namespace

int main(int argc, char* argv[])
{
    forms::PaintWithoutGl();
    QApplication app(argc, argv);
    if (!forms::CanPaintOnDisplay())
        return 1;
    forms::StoreNoSettings();
    plotter::frmMain& window = plotter::frmMain::instance();
    FirstFrame watch(window);
    window.Show();
    return QApplication::exec();
}
