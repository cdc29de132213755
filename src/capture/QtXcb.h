#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace capture {

// The X server connection Qt's xcb platform uses, or null on any other platform.
xcb_connection_t* QtXcbConnection();

// A reply from xcb, freed as xcb asks.
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace capture
