#include "forms/wayland/TitleBar.h"

#include "forms/wayland/Globals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

#include <memory>

namespace forms::wayland {
namespace {

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
    OwnedTitleBar(QWidget& window, zxdg_decoration_manager_v1& manager)
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
        QElapsedTimer timer;
        timer.start();
        zxdg_toplevel_decoration_v1_set_mode(decoration_.get(),
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE);
        if (!waitUntil([this] { return mode_ == ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE; },
                       timer, bound))
            return !decoration_;
        // The toplevel's own configure follows the decoration's. Once a round trip sent now
        // is answered, Qt has been handed it too; it acknowledges it in a queued call, which
        // must run before the next commit, the one that takes the title bar away.
        synced_ = false;
        wl_callback* sync = wl_display_sync(QtDisplay());
        wl_callback_add_listener(sync, &kSyncListener, this);
        const bool answered = waitUntil([this] { return synced_; }, timer, bound);
        wl_callback_destroy(sync);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        return answered;
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
        decoration_.reset(zxdg_decoration_manager_v1_get_toplevel_decoration(&manager_, toplevel));
        zxdg_toplevel_decoration_v1_add_listener(decoration_.get(), &kListener, this);
        // No buffer may come before the decoration's first configure, and none does: the
        // compositor sends it ahead of the toplevel's, which Qt waits for.
        zxdg_toplevel_decoration_v1_set_mode(decoration_.get(),
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
    }

    // Runs the event loop until done() holds once the compositor's answers are handled, or
    // until bound has passed since timer started.
    template <class Done>
    bool waitUntil(Done done, const QElapsedTimer& timer, std::chrono::milliseconds bound)
    {
        wl_display_flush(QtDisplay());
        while (!done()) {
            const qint64 left = bound.count() - timer.elapsed();
            if (left <= 0)
                return false;
            QEventLoop loop;
            waiting_ = &loop;
            QTimer::singleShot(left, &loop, &QEventLoop::quit);
            loop.exec();
            waiting_ = nullptr;
        }
        return true;
    }

    static void synced(void* data, wl_callback*, uint32_t)
    {
        auto* self = static_cast<OwnedTitleBar*>(data);
        self->synced_ = true;
        if (self->waiting_)
            self->waiting_->quit();
    }

    static void configured(void* data, zxdg_toplevel_decoration_v1*, uint32_t mode)
    {
        auto* self = static_cast<OwnedTitleBar*>(data);
        self->mode_ = mode;
        if (self->waiting_)
            self->waiting_->quit();
    }

    static constexpr zxdg_toplevel_decoration_v1_listener kListener {configured};
    static constexpr wl_callback_listener kSyncListener {synced};

    QWidget& window_;
    zxdg_decoration_manager_v1& manager_;
    QPointer<QWindow> watched_;
    std::unique_ptr<zxdg_toplevel_decoration_v1, DecorationDestroy> decoration_;
    uint32_t mode_ = 0;
    bool synced_ = false;
    QEventLoop* waiting_ = nullptr;
    QSize sizeWithTitleBar_;
};

bool OwnTitleBar(QWidget& window)
{
    zxdg_decoration_manager_v1* manager = DecorationManager();
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
