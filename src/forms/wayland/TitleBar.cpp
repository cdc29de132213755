#include "forms/wayland/TitleBar.h"

#include <QEvent>
#include <QEventLoop>
#include <QPlatformSurfaceEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>
#include "xdg-decoration-unstable-v1-client.h"

#include <cstring>
#include <memory>

namespace forms::wayland {
namespace {

wl_display* qtDisplay()
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    return static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
}

void foundGlobal(void* data, wl_registry*, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, zxdg_decoration_manager_v1_interface.name) == 0)
        *static_cast<uint32_t*>(data) = name;
}

void lostGlobal(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener {foundGlobal, lostGlobal};

// The compositor's decoration manager on Qt's connection, looked up once and released with
// the application, while that connection still stands. The decorations it makes answer on
// Qt's queue, which Qt's event loop dispatches: waiting on a queue of our own would read the
// connection from the main thread, which raced with Qt destroying a window.
class DecorationManager : public QObject {
public:
    static DecorationManager* instance()
    {
        static QPointer<DecorationManager> looked;
        if (!looked)
            looked = new DecorationManager(qApp);
        return looked->manager_ ? looked.data() : nullptr;
    }

    ~DecorationManager() override
    {
        if (manager_)
            zxdg_decoration_manager_v1_destroy(manager_);
    }

    zxdg_toplevel_decoration_v1* decorate(xdg_toplevel& toplevel) const
    {
        return zxdg_decoration_manager_v1_get_toplevel_decoration(manager_, &toplevel);
    }

private:
    explicit DecorationManager(QObject* application)
        : QObject(application)
    {
        wl_display* display = qtDisplay();
        if (!display)
            return;
        // The globals are learnt once, as the window is made, on a queue of our own so that
        // the round trip dispatches none of Qt's events.
        wl_event_queue* queue = wl_display_create_queue(display);
        auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
        wl_registry* registry = wl_display_get_registry(wrapped);
        wl_proxy_wrapper_destroy(wrapped);
        uint32_t name = 0;
        wl_registry_add_listener(registry, &kRegistryListener, &name);
        if (wl_display_roundtrip_queue(display, queue) >= 0 && name != 0) {
            manager_ = static_cast<zxdg_decoration_manager_v1*>(
                wl_registry_bind(registry, name, &zxdg_decoration_manager_v1_interface, 1));
            // It has no events of its own; what it makes answers on Qt's queue.
            wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(manager_), nullptr);
        }
        wl_registry_destroy(registry);
        wl_event_queue_destroy(queue);
    }

    zxdg_decoration_manager_v1* manager_ = nullptr;
};

struct DecorationDestroy {
    void operator()(zxdg_toplevel_decoration_v1* decoration) const
    {
        zxdg_toplevel_decoration_v1_destroy(decoration);
    }
};

} // namespace

// One window's title bar, asked for anew each time the window shows: Qt gives the window a new
// toplevel each time, and the decoration must go before its toplevel does.
class OwnedTitleBar : public QObject {
    Q_OBJECT
public:
    OwnedTitleBar(QWidget& window, DecorationManager& manager)
        : QObject(&window)
        , window_(window)
        , manager_(manager)
    {
        window.installEventFilter(this);
    }

    bool drop(std::chrono::milliseconds bound)
    {
        if (!decoration_ || mode_ == ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE)
            return true;
        // The compositor keeps the window's outer size, so the window grows into the space.
        sizeWithTitleBar_ = window_.size();
        zxdg_toplevel_decoration_v1_set_mode(decoration_.get(),
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE);
        wl_display_flush(qtDisplay());
        QEventLoop loop;
        waiting_ = &loop;
        QTimer::singleShot(bound, &loop, &QEventLoop::quit);
        loop.exec();
        waiting_ = nullptr;
        return !decoration_ || mode_ == ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE;
    }

    void restore()
    {
        if (sizeWithTitleBar_.isValid() && !window_.isVisible())
            window_.resize(sizeWithTitleBar_);
        sizeWithTitleBar_ = QSize();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window_) {
            // Sent once the window's toplevel exists, before Qt's first request for it leaves,
            // so the compositor learns of the title bar before it places and sizes the window.
            if (event->type() == QEvent::ShowToParent && window_.isWindow())
                ask(window_.windowHandle());
        } else if (watched == watched_ && event->type() == QEvent::PlatformSurface
                   && static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType()
                          == QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
            decoration_.reset();
        }
        return false;
    }

private:
    void watch(QWindow& handle)
    {
        if (&handle == watched_)
            return;
        watched_ = &handle;
        handle.installEventFilter(this);
        // Told before Qt destroys the toplevel.
        connect(&handle, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible)
                decoration_.reset();
        });
    }

    void ask(QWindow* handle)
    {
        if (!handle || decoration_)
            return;
        watch(*handle);
        QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
        auto* toplevel =
            static_cast<xdg_toplevel*>(native->nativeResourceForWindow("xdg_toplevel", handle));
        if (!toplevel)
            return;
        mode_ = 0;
        decoration_.reset(manager_.decorate(*toplevel));
        zxdg_toplevel_decoration_v1_add_listener(decoration_.get(), &kListener, this);
        // No buffer may come before the decoration's first configure, and none does: the
        // compositor sends it ahead of the toplevel's, which Qt waits for.
        zxdg_toplevel_decoration_v1_set_mode(decoration_.get(),
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
    }

    static void configured(void* data, zxdg_toplevel_decoration_v1*, uint32_t mode)
    {
        auto* self = static_cast<OwnedTitleBar*>(data);
        self->mode_ = mode;
        if (self->waiting_ && mode == ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE)
            self->waiting_->quit();
    }

    static constexpr zxdg_toplevel_decoration_v1_listener kListener {configured};

    QWidget& window_;
    DecorationManager& manager_;
    QPointer<QWindow> watched_;
    std::unique_ptr<zxdg_toplevel_decoration_v1, DecorationDestroy> decoration_;
    uint32_t mode_ = 0;
    QEventLoop* waiting_ = nullptr;
    QSize sizeWithTitleBar_;
};

bool OwnTitleBar(QWidget& window)
{
    DecorationManager* manager = DecorationManager::instance();
    if (!manager || window.findChild<OwnedTitleBar*>(QString(), Qt::FindDirectChildrenOnly))
        return false;
    // Frameless, Qt neither asks for a title bar nor draws one of its own.
    window.setWindowFlag(Qt::FramelessWindowHint);
    new OwnedTitleBar(window, *manager);
    return true;
}

bool DropTitleBar(QWidget& window, std::chrono::milliseconds bound)
{
    auto* titleBar = window.findChild<OwnedTitleBar*>(QString(), Qt::FindDirectChildrenOnly);
    return !titleBar || titleBar->drop(bound);
}

void RestoreTitleBar(QWidget& window)
{
    if (auto* titleBar = window.findChild<OwnedTitleBar*>(QString(), Qt::FindDirectChildrenOnly))
        titleBar->restore();
}

} // namespace forms::wayland

#include "TitleBar.moc"
