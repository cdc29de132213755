#include "forms/x11/QtXcb.h"

#include "forms/DesktopSession.h"

#include <QGuiApplication>

namespace forms::x11 {

xcb_connection_t* QtXcbConnection()
{
    if (CurrentWindowSystem() != WindowSystem::X11)
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace forms::x11
