#include "capture/grab/ScreenSettle.h"

#include "forms/x11/QtXcb.h"
#include "forms/x11/WindowTree.h"
#include "forms/x11/XcbReply.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

namespace capture {
namespace {

using forms::x11::XcbReply;

constexpr uint32_t kWithdrawnState = 0; // ICCCM WM_STATE

// What the screen beneath a hidden window is given to repaint when nothing tells us.
constexpr std::chrono::milliseconds kRepaintSettle {40};

// Runs the event loop while busy() holds, for at most bound.
template <class Busy> bool processEventsWhile(Busy busy, std::chrono::milliseconds bound)
{
    QElapsedTimer timer;
    timer.start();
    while (busy()) {
        if (std::chrono::nanoseconds(timer.nsecsElapsed()) >= bound)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

bool viewable(xcb_connection_t* conn, xcb_window_t window)
{
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// Whether the window manager has let go of window: it no longer carries a WM_STATE other
// than Withdrawn. Mapped again before then, a window may go unseen by the manager.
bool withdrawn(xcb_connection_t* conn, xcb_window_t window)
{
    static constexpr char name[] = "WM_STATE";
    const XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 1, sizeof name - 1, name), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return true; // no window manager has ever set one
    const XcbReply<xcb_get_property_reply_t> state(xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, window, atom->atom, atom->atom, 0, 1), nullptr));
    if (!state || xcb_get_property_value_length(state.get()) < 4)
        return true;
    return *static_cast<const uint32_t*>(xcb_get_property_value(state.get())) == kWithdrawnState;
}

} // namespace

bool IsOffScreen(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    if (!handle || !handle->handle())
        return true;
    xcb_connection_t* conn = forms::x11::QtXcbConnection();
    if (!conn)
        return !handle->isExposed();
    const auto id = static_cast<xcb_window_t>(handle->winId());
    if (viewable(conn, id))
        return false;
    const xcb_window_t frame = forms::x11::Outermost(conn, id).value_or(id);
    return (frame == id || !viewable(conn, frame)) && withdrawn(conn, id);
}

bool WaitUntilOffScreen(const QWidget& window, std::chrono::milliseconds bound)
{
    // The X server unmaps a window (and the window manager its frame) asynchronously.
    return processEventsWhile([&window] { return !IsOffScreen(window); }, bound);
}

void SettleAfterHiding(std::chrono::milliseconds bound)
{
    QElapsedTimer timer;
    timer.start();
    const auto settle = std::min(bound, kRepaintSettle);
    processEventsWhile([&] { return std::chrono::nanoseconds(timer.nsecsElapsed()) < settle; },
                       settle);
    SyncWithDisplay();
}

void SyncWithDisplay()
{
    if (xcb_connection_t* conn = forms::x11::QtXcbConnection())
        std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

} // namespace capture
