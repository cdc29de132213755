#include "forms/wayland/SurfaceFrame.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

namespace forms::wayland {
namespace {

struct FrameWait {
    QEventLoop loop;
    bool drawn = false;
};

void frameDone(void* data, wl_callback*, uint32_t)
{
    auto* wait = static_cast<FrameWait*>(data);
    wait->drawn = true;
    wait->loop.quit();
}

const wl_callback_listener kFrameListener {frameDone};

} // namespace

bool WaitUntilDrawn(QWindow& window, std::chrono::milliseconds bound)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", &window));
    auto* display = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    if (!surface || !display)
        return false;
    // Qt's own frame callbacks may belong to an earlier commit, and Qt hands out an update
    // request at once when none is pending: only a callback of our own commit tells.
    FrameWait wait;
    wl_callback* callback = wl_surface_frame(surface);
    wl_callback_add_listener(callback, &kFrameListener, &wait);
    wl_surface_commit(surface);
    wl_display_flush(display);
    QTimer::singleShot(bound, &wait.loop, &QEventLoop::quit);
    if (!wait.drawn)
        wait.loop.exec();
    wl_callback_destroy(callback);
    return wait.drawn;
}

} // namespace forms::wayland
