#include "forms/wayland/ClearSurface.h"

#include "forms/wayland/Globals.h"
#include "forms/wayland/SurfaceFrame.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>

namespace forms::wayland {

bool ShowClear(QWindow& window, std::chrono::milliseconds bound)
{
    wl_shm* shm = Shm();
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* surface = native && shm
                        ? static_cast<wl_surface*>(native->nativeResourceForWindow("surface", &window))
                        : nullptr;
    if (!surface)
        return false;
    // In the surface's own buffer scale, which Qt keeps a whole number.
    const int scale = std::max(1, int(std::lround(window.devicePixelRatio())));
    const int width = window.width() * scale, height = window.height() * scale;
    const int stride = width * 4;
    const int bytes = stride * height;
    // A new file's pages read as zeros: a transparent picture that is never written.
    const int fd = memfd_create("zarnel-clear", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, bytes) != 0) {
        if (fd >= 0)
            close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, bytes);
    wl_buffer* buffer
        = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_ARGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage_buffer(surface, 0, 0, width, height);
    const bool drawn = WaitUntilDrawn(window, bound);
    // Its storage never changes, so the surface goes on showing it until Qt's next frame.
    wl_buffer_destroy(buffer);
    return drawn;
}

} // namespace forms::wayland
