#include "forms/x11/WindowTree.h"

#include "forms/x11/XcbReply.h"

namespace forms::x11 {

std::optional<xcb_window_t> Outermost(xcb_connection_t* conn, xcb_window_t window)
{
    for (;;) {
        const XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(conn, xcb_query_tree(conn, window), nullptr));
        if (!tree)
            return std::nullopt;
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
}

} // namespace forms::x11
