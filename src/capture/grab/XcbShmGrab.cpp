#include "capture/grab/XcbShmGrab.h"

#include "forms/DesktopSession.h"
#include "forms/x11/PixelLayout.h"
#include "forms/x11/WindowTree.h"
#include "forms/x11/XcbReply.h"

#include <QImage>
#include <QPainter>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace capture::xcbshm {
namespace {

using forms::x11::PixelLayout;
using forms::x11::XcbReply;

template <class Reply> XcbReply<Reply> own(Reply* reply)
{
    return XcbReply<Reply>(reply);
}

struct Segment {
    int shmid = -1;
    xcb_shm_seg_t seg = 0;
    uchar* addr = nullptr;
    size_t size = 0;
};

// Our own connection to the X server for grabs: its lifetime is tied to the pictures
// still using its segments (each holds a reference), not to Qt's connection.
class Grabber : public std::enable_shared_from_this<Grabber> {
public:
    static std::shared_ptr<Grabber> instance();

    ~Grabber();

    bool usable() const { return conn_ && shm_ && layout_.format != QImage::Format_Invalid; }
    xcb_connection_t* connection() const { return conn_; }
    xcb_window_t root() const { return screen_ ? screen_->root : 0; }
    QRect rootRect() const
    {
        return screen_ ? QRect(0, 0, screen_->width_in_pixels, screen_->height_in_pixels) : QRect();
    }

    std::optional<forms::Picture> grab(const QRect& deviceRect);
    int spareCount()
    {
        std::lock_guard lock(mutex_);
        return int(spares_.size());
    }

private:
    Grabber();
    std::optional<Segment> acquire(size_t size);
    void recycle(Segment segment);
    void destroy(const Segment& segment);
    QList<QRgb> colormap();

    struct Lease {
        std::shared_ptr<Grabber> owner;
        Segment segment;
    };
    static void release(void* info);

    xcb_connection_t* conn_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    bool shm_ = false;
    PixelLayout layout_;
    std::mutex mutex_;
    // Two sizes come in turn: the whole screen, and the small area a capture reads back
    // while the viewer leaves. Keeping one of each spares the server fresh pages to fill.
    static constexpr size_t kMaxSpares = 2;
    std::vector<Segment> spares_;
};

bool onX11()
{
    return forms::CurrentWindowSystem() == forms::WindowSystem::X11;
}

std::shared_ptr<Grabber> Grabber::instance()
{
    static std::mutex creating;
    static std::shared_ptr<Grabber> grabber;
    std::lock_guard lock(creating);
    if (!grabber)
        grabber = std::shared_ptr<Grabber>(new Grabber());
    return grabber;
}

Grabber::Grabber()
{
    int screenNumber = 0;
    conn_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(conn_)) {
        xcb_disconnect(conn_);
        conn_ = nullptr;
        return;
    }
    const xcb_setup_t* setup = xcb_get_setup(conn_);
    auto it = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem)
        return;
    screen_ = it.data;
    layout_ = forms::x11::LayoutOf(setup, forms::x11::FindVisual(setup, screen_->root_visual),
                                   screen_->root_depth);
    // Asking a server that lacks the extension would close the connection, and the window
    // lookups on it would fail with it; without it the grabs fall back to Qt's.
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(conn_, &xcb_shm_id);
    if (!extension || !extension->present)
        return;
    const auto version
        = own(xcb_shm_query_version_reply(conn_, xcb_shm_query_version(conn_), nullptr));
    shm_ = version != nullptr;
}

Grabber::~Grabber()
{
    for (const Segment& spare : spares_)
        destroy(spare);
    if (conn_)
        xcb_disconnect(conn_);
}

void Grabber::destroy(const Segment& segment)
{
    if (conn_ && segment.seg)
        xcb_shm_detach(conn_, segment.seg);
    if (conn_)
        xcb_flush(conn_);
    if (segment.addr)
        shmdt(segment.addr);
}

std::optional<Segment> Grabber::acquire(size_t size)
{
    {
        std::lock_guard lock(mutex_);
        const auto fits = std::find_if(spares_.begin(), spares_.end(), [size](const Segment& s) {
            return s.size >= size && s.size / 2 <= size;
        });
        if (fits != spares_.end()) {
            const Segment reused = *fits;
            spares_.erase(fits);
            return reused;
        }
    }
    Segment segment;
    segment.size = size;
    segment.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (segment.shmid < 0)
        return std::nullopt;
    void* addr = shmat(segment.shmid, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
        shmctl(segment.shmid, IPC_RMID, nullptr);
        return std::nullopt;
    }
    segment.addr = static_cast<uchar*>(addr);
    segment.seg = xcb_generate_id(conn_);
    const auto error = own(
        xcb_request_check(conn_, xcb_shm_attach_checked(conn_, segment.seg, segment.shmid, 0)));
    // Marked for removal now: the kernel frees it once both sides have detached.
    shmctl(segment.shmid, IPC_RMID, nullptr);
    if (error) {
        shmdt(segment.addr);
        return std::nullopt;
    }
    return segment;
}

void Grabber::recycle(Segment segment)
{
    std::lock_guard lock(mutex_);
    // The newest of each size stays; the oldest goes first.
    std::erase_if(spares_, [&](const Segment& s) {
        const bool sameSize = s.size >= segment.size / 2 && s.size / 2 <= segment.size;
        if (sameSize)
            destroy(s);
        return sameSize;
    });
    spares_.push_back(segment);
    if (spares_.size() > kMaxSpares) {
        destroy(spares_.front());
        spares_.erase(spares_.begin());
    }
}

void Grabber::release(void* info)
{
    const std::unique_ptr<Lease> lease(static_cast<Lease*>(info));
    lease->owner->recycle(lease->segment);
}

QList<QRgb> Grabber::colormap()
{
    QList<QRgb> table(256, qRgb(0, 0, 0));
    std::vector<quint32> pixels(256);
    for (quint32 i = 0; i < 256; ++i)
        pixels[i] = i;
    const auto reply = own(xcb_query_colors_reply(
        conn_, xcb_query_colors(conn_, screen_->default_colormap, 256, pixels.data()), nullptr));
    if (!reply)
        return table;
    const xcb_rgb_t* colors = xcb_query_colors_colors(reply.get());
    const int count = std::min(256, xcb_query_colors_colors_length(reply.get()));
    for (int i = 0; i < count; ++i)
        table[i] = qRgb(colors[i].red >> 8, colors[i].green >> 8, colors[i].blue >> 8);
    return table;
}

std::optional<forms::Picture> Grabber::grab(const QRect& deviceRect)
{
    if (!usable() || deviceRect.isEmpty())
        return std::nullopt;
    const QRect onRoot = deviceRect & rootRect();
    if (onRoot != deviceRect) {
        // Partly or wholly off the root: grab what is on it and place it on black.
        QImage whole(deviceRect.size(), layout_.palette ? QImage::Format_RGB32 : layout_.format);
        whole.fill(Qt::black);
        if (!onRoot.isEmpty()) {
            const std::optional<forms::Picture> part = grab(onRoot);
            if (!part)
                return std::nullopt;
            QPainter painter(&whole);
            painter.drawImage(onRoot.topLeft() - deviceRect.topLeft(), *part);
        }
        return whole;
    }

    const qsizetype bpl = layout_.bytesPerLine(deviceRect.width());
    const size_t size = size_t(bpl) * deviceRect.height();
    std::optional<Segment> segment = acquire(size);
    if (!segment)
        return std::nullopt;
    const auto reply = own(xcb_shm_get_image_reply(
        conn_,
        xcb_shm_get_image(conn_, root(), deviceRect.x(), deviceRect.y(), deviceRect.width(),
                          deviceRect.height(), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment->seg, 0),
        nullptr));
    if (!reply) {
        recycle(*segment);
        return std::nullopt;
    }
    auto lease = std::make_unique<Lease>(Lease {shared_from_this(), *segment});
    QImage picture(segment->addr, deviceRect.width(), deviceRect.height(), bpl, layout_.format,
                   &Grabber::release, lease.get());
    lease.release(); // the picture owns it now and returns the segment when freed
    if (layout_.palette)
        picture.setColorTable(colormap());
    return picture;
}

} // namespace

bool Available()
{
    return onX11() && Grabber::instance()->usable();
}

std::optional<quintptr> RootWindow()
{
    if (!onX11())
        return std::nullopt;
    const auto grabber = Grabber::instance();
    if (!grabber->connection() || !grabber->root())
        return std::nullopt;
    return grabber->root();
}

std::optional<QRect> WindowRect(quintptr window, bool frame)
{
    if (!onX11() || window == 0)
        return std::nullopt;
    const auto grabber = Grabber::instance();
    xcb_connection_t* conn = grabber->connection();
    if (!conn || !grabber->root())
        return std::nullopt;
    auto target = static_cast<xcb_window_t>(window);
    if (frame && target != grabber->root()) {
        // The ancestor the window manager reparented us into, if any.
        const std::optional<xcb_window_t> outer = forms::x11::Outermost(conn, target);
        if (!outer)
            return std::nullopt;
        target = *outer;
    }
    const auto geometry
        = own(xcb_get_geometry_reply(conn, xcb_get_geometry(conn, target), nullptr));
    if (!geometry)
        return std::nullopt;
    if (target == grabber->root())
        return QRect(0, 0, geometry->width, geometry->height);
    const auto where = own(xcb_translate_coordinates_reply(
        conn, xcb_translate_coordinates(conn, target, grabber->root(), 0, 0), nullptr));
    if (!where)
        return std::nullopt;
    return QRect(where->dst_x, where->dst_y, geometry->width, geometry->height);
}

std::optional<QPoint> WindowOrigin(quintptr window, bool frame)
{
    const std::optional<QRect> rect = WindowRect(window, frame);
    return rect ? std::optional<QPoint>(rect->topLeft()) : std::nullopt;
}

std::optional<forms::Picture> GrabRoot(const QRect& deviceRect)
{
    if (!onX11())
        return std::nullopt;
    return Grabber::instance()->grab(deviceRect);
}

int SpareSegments()
{
    return onX11() ? Grabber::instance()->spareCount() : 0;
}

} // namespace capture::xcbshm
