#include "forms/x11/FrameExtents.h"

#include "forms/x11/QtXcb.h"
#include "forms/x11/XcbReply.h"

#include <QElapsedTimer>
#include <QThread>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace forms::x11 {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<std::uint32_t> cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                                     xcb_atom_t type, std::uint32_t count)
{
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, type, 0, count), nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

} // namespace

std::optional<QMargins> RequestFrameExtents(unsigned window)
{
    xcb_connection_t* c = QtXcbConnection();
    if (!c || window == 0)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    // Without a window manager nothing frames the window.
    if (cardinals(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1).empty())
        return QMargins();
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const auto supported = cardinals(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    if (std::find(supported.begin(), supported.end(), request) == supported.end())
        return std::nullopt;

    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);

    // Qt's event loop owns the connection's events, so poll the property instead of
    // waiting for its change notice. A manager answers within a round trip or two.
    QElapsedTimer timer;
    timer.start();
    do {
        const auto values = cardinals(c, window, extents, XCB_ATOM_CARDINAL, 4);
        if (values.size() == 4)
            return QMargins(int(values[0]), int(values[2]), int(values[1]), int(values[3]));
        QThread::msleep(2);
    } while (timer.elapsed() < 250);
    return std::nullopt;
}

} // namespace forms::x11
