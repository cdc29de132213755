#pragma once

#include <QAccessible>

struct QMetaObject;

namespace forms {

// Reports every window of a class to assistive technology with this role (a frame is
// QAccessible::Window, a dialog QAccessible::Dialog), named by its caption. Qt reports a
// plain top-level widget as a client area, which AT-SPI calls "filler": a screen reader
// then does not announce it as a window. Call before the first window is shown.
void SetWindowRole(const QMetaObject& windowClass, QAccessible::Role role);

} // namespace forms
