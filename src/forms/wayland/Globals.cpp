#include "forms/wayland/Globals.h"

#include <QGuiApplication>
#include <QPointer>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>
#include "xdg-decoration-unstable-v1-client.h"

#include <cstring>

namespace forms::wayland {
namespace {

struct Names {
    uint32_t shm = 0;
    uint32_t decorations = 0;
};

void foundGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t)
{
    auto* names = static_cast<Names*>(data);
    if (std::strcmp(interface, wl_shm_interface.name) == 0)
        names->shm = name;
    else if (std::strcmp(interface, zxdg_decoration_manager_v1_interface.name) == 0)
        names->decorations = name;
}

void lostGlobal(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener {foundGlobal, lostGlobal};

// Bound while the application lives, so released while Qt's connection still stands.
class Bound : public QObject {
public:
    static const Bound& instance()
    {
        static QPointer<Bound> bound;
        if (!bound)
            bound = new Bound(qApp);
        return *bound;
    }

    ~Bound() override
    {
        if (decorations)
            zxdg_decoration_manager_v1_destroy(decorations);
        if (shm)
            wl_shm_destroy(shm);
    }

    wl_shm* shm = nullptr;
    zxdg_decoration_manager_v1* decorations = nullptr;

private:
    explicit Bound(QObject* application)
        : QObject(application)
    {
        wl_display* display = QtDisplay();
        if (!display)
            return;
        // Learnt on a queue of our own, so that the round trip dispatches none of Qt's events;
        // the objects then move to Qt's queue. Waiting on a queue of our own later would read
        // the connection from the main thread, which raced with Qt destroying a window.
        wl_event_queue* queue = wl_display_create_queue(display);
        auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
        wl_registry* registry = wl_display_get_registry(wrapped);
        wl_proxy_wrapper_destroy(wrapped);
        Names names;
        wl_registry_add_listener(registry, &kRegistryListener, &names);
        if (wl_display_roundtrip_queue(display, queue) >= 0) {
            if (names.shm != 0)
                shm = static_cast<wl_shm*>(wl_registry_bind(registry, names.shm, &wl_shm_interface, 1));
            if (names.decorations != 0)
                decorations = static_cast<zxdg_decoration_manager_v1*>(wl_registry_bind(
                    registry, names.decorations, &zxdg_decoration_manager_v1_interface, 1));
        }
        // Neither has events we need; what they make answers on Qt's queue.
        if (shm)
            wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(shm), nullptr);
        if (decorations)
            wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(decorations), nullptr);
        wl_registry_destroy(registry);
        wl_event_queue_destroy(queue);
    }
};

} // namespace

wl_display* QtDisplay()
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    return static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
}

wl_shm* Shm()
{
    return Bound::instance().shm;
}

zxdg_decoration_manager_v1* DecorationManager()
{
    return Bound::instance().decorations;
}

} // namespace forms::wayland
