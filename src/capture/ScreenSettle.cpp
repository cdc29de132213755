#include "capture/ScreenSettle.h"

#include "capture/QtXcb.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>


namespace capture {
namespace {

bool viewable(xcb_connection_t* conn, xcb_window_t window)
{
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// The window manager's frame around window, or window itself when there is none.
xcb_window_t outermost(xcb_connection_t* conn, xcb_window_t window)
{
    for (;;) {
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(conn, xcb_query_tree(conn, window), nullptr));
        if (!tree || tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
}

} // namespace

bool IsOffScreen(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    if (!handle || !handle->handle())
        return true;
    xcb_connection_t* conn = QtXcbConnection();
    if (!conn)
        return !handle->isExposed();
    const auto id = static_cast<xcb_window_t>(handle->winId());
    if (viewable(conn, id))
        return false;
    const xcb_window_t frame = outermost(conn, id);
    return frame == id || !viewable(conn, frame);
}

std::chrono::nanoseconds RepaintTime(std::chrono::nanoseconds x11Settle)
{
    constexpr std::chrono::nanoseconds frame{std::chrono::milliseconds(17)}; // 60 Hz
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ? frame : x11Settle;
}

void SyncWithDisplay()
{
    if (xcb_connection_t* conn = QtXcbConnection())
        std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

} // namespace capture
