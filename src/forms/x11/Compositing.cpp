#include "forms/x11/Compositing.h"

#include "forms/x11/XcbReply.h"

#include <string>

namespace forms::x11 {

bool CompositorRuns(xcb_connection_t* conn, xcb_window_t root)
{
    int screen = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(conn)); it.rem;
         xcb_screen_next(&it), ++screen) {
        if (it.data->root == root)
            break;
    }
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    const XcbReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        conn, xcb_intern_atom(conn, 1, uint16_t(name.size()), name.data()), nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false; // nobody ever asked for it
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(conn, xcb_get_selection_owner(conn, atom->atom), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace forms::x11
