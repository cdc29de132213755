#pragma once

#include <cstdlib>
#include <memory>

namespace forms::x11 {

// A reply (or error) from xcb, freed as xcb asks.
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace forms::x11
