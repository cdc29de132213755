#include "capture/QtXcb.h"

#include <QGuiApplication>

namespace capture {

xcb_connection_t* QtXcbConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace capture
