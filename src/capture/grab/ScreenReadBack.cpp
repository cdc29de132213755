#include "capture/grab/ScreenReadBack.h"

#include "capture/grab/Desktop.h"
#include "capture/grab/XcbShmGrab.h"
#include "forms/x11/Compositing.h"
#include "forms/x11/QtXcb.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstring>

namespace capture {
namespace {

using Clock = std::chrono::steady_clock;

// How often the area is read while waiting: often enough to see every frame of a fade.
constexpr std::chrono::milliseconds kReadEvery {4};

bool samePixels(const forms::Picture& a, const forms::Picture& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    const auto rowBytes = size_t(a.width()) * size_t(a.depth() / 8);
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0)
            return false;
    }
    return true;
}

std::chrono::nanoseconds frameInterval(const QWidget& window)
{
    const QScreen* screen = window.screen();
    const qreal hz = screen && screen->refreshRate() >= 1 ? screen->refreshRate() : 60.0;
    return std::chrono::nanoseconds(qint64(1e9 / hz));
}

// Lets our own windows repaint what the hidden one uncovered while time passes.
void processEventsFor(std::chrono::milliseconds interval)
{
    QEventLoop loop;
    QTimer::singleShot(interval, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

ScreenReadBack::ScreenReadBack(QRect area, forms::Picture shown, bool composited,
                               std::chrono::nanoseconds still)
    : area_(area)
    , shown_(std::move(shown))
    , composited_(composited)
    , still_(still)
{
}

std::optional<ScreenReadBack> ScreenReadBack::Watch(const QWidget& window)
{
    xcb_connection_t* conn = forms::x11::QtXcbConnection();
    const QWindow* handle = window.windowHandle();
    if (!conn || !handle || !handle->handle() || !xcbshm::Available())
        return std::nullopt;
    const std::optional<QRect> outer = xcbshm::WindowRect(handle->winId(), true);
    if (!outer)
        return std::nullopt;
    const QRect area = *outer & DesktopBounds(DesktopMonitors());
    if (area.isEmpty())
        return std::nullopt;
    std::optional<forms::Picture> shown = xcbshm::GrabRoot(area);
    if (!shown)
        return std::nullopt;
    const bool compositing = forms::x11::CompositorRuns(conn, xcb_window_t(*xcbshm::RootWindow()));
    return ScreenReadBack(area, *std::move(shown), compositing,
                          (compositing ? 2 : 1) * frameInterval(window));
}

bool ScreenReadBack::WaitUntilGone(std::chrono::milliseconds bound,
                                   std::chrono::milliseconds start) const
{
    const Clock::time_point began = Clock::now();
    const Clock::time_point deadline = began + bound;
    forms::Picture last = shown_;
    Clock::time_point changed = Clock::now();
    bool left = false;
    while (Clock::now() < deadline) {
        std::optional<forms::Picture> now = xcbshm::GrabRoot(area_);
        if (!now)
            return false;
        if (!samePixels(*now, last)) {
            last = *std::move(now);
            changed = Clock::now();
            left = !samePixels(last, shown_);
        } else if (left && Clock::now() - changed >= still_) {
            return true;
        } else if (!left && Clock::now() - began >= start) {
            return false;
        }
        processEventsFor(kReadEvery);
    }
    return false;
}

} // namespace capture
