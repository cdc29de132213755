#include "capture/grab/ScreenReadBack.h"

#include "capture/grab/Desktop.h"
#include "capture/grab/XcbShmGrab.h"
#include "forms/x11/Compositing.h"
#include "forms/x11/QtXcb.h"
#include "forms/x11/WindowTree.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
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

ScreenReadBack::ScreenReadBack(QRect area, forms::Picture shown, bool composited, bool framed,
                               std::chrono::nanoseconds frame)
    : area_(area)
    , shown_(std::move(shown))
    , composited_(composited)
    , framed_(framed)
    , frame_(frame)
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
    const auto id = static_cast<xcb_window_t>(handle->winId());
    const bool framed = forms::x11::Outermost(conn, id).value_or(id) != id;
    return ScreenReadBack(area, *std::move(shown), compositing, framed, frameInterval(window));
}

bool ScreenReadBack::WaitUntilGone(std::chrono::milliseconds bound,
                                   std::chrono::milliseconds start) const
{
    // A compositing manager may draw a frame late: two still ones tell.
    return waitUntil(bound, start, (composited_ ? 2 : 1) * frame_, false);
}

bool ScreenReadBack::WaitUntilStill(std::chrono::milliseconds bound) const
{
    // A compositing window manager takes down its frame after the unmapping and may draw
    // that late (mutter did, a frame after a still one, under a slow client).
    return waitUntil(bound, bound, (composited_ && framed_ ? 2 : 1) * frame_, true);
}

bool ScreenReadBack::waitUntil(std::chrono::milliseconds bound, std::chrono::milliseconds start,
                               std::chrono::nanoseconds still, bool gone) const
{
    const Clock::time_point began = Clock::now();
    const Clock::time_point deadline = began + bound;
    std::optional<forms::Picture> last;
    Clock::time_point changed = began;
    bool left = gone;
    while (Clock::now() < deadline) {
        std::optional<forms::Picture> now = xcbshm::GrabRoot(area_);
        if (!now)
            return false;
        const Clock::time_point read = Clock::now();
        if (!last || !samePixels(*now, *last)) {
            if (last || !gone) {
                changed = read;
                left = gone || !samePixels(*now, shown_);
            }
            last = std::move(now);
        } else if (left && read - changed >= still) {
            return true;
        } else if (!left && read - began >= start) {
            return false;
        }
        // Once the window is gone, read again as soon as the area will have kept still long
        // enough, not a whole step later.
        auto next = kReadEvery;
        if (left)
            next = std::min(next, std::chrono::ceil<std::chrono::milliseconds>(changed + still
                                                                                - read));
        processEventsFor(std::max(next, std::chrono::milliseconds(1)));
    }
    return false;
}

} // namespace capture
