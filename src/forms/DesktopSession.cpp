#include "forms/DesktopSession.h"

#include <QGuiApplication>

namespace forms {

WindowSystem CurrentWindowSystem()
{
    if (!qGuiApp)
        return WindowSystem::Other;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return WindowSystem::X11;
    if (platform.startsWith(QLatin1String("wayland")))
        return WindowSystem::Wayland;
    return WindowSystem::Other;
}

bool OnWaylandSession()
{
    switch (CurrentWindowSystem()) {
    case WindowSystem::Wayland:
        return true;
    case WindowSystem::X11:
        return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
               || qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
    case WindowSystem::Other:
        break;
    }
    return false;
}

bool CurrentDesktopIs(const QString& name)
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP")
        .split(QLatin1Char(':'), Qt::SkipEmptyParts)
        .contains(name, Qt::CaseInsensitive);
}

} // namespace forms
