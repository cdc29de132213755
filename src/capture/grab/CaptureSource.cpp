#include "capture/grab/CaptureSource.h"

#include "capture/grab/XcbShmGrab.h"
#include "forms/DesktopSession.h"

#include <QGuiApplication>

namespace capture {
namespace {

std::optional<CaptureSource> overridden;

CaptureSource choose()
{
    // Wayland clients may not read the screen, and an X11 client of Xwayland reads back a
    // black root window: on a Wayland session only the portal has the pixels.
    if (forms::OnWaylandSession())
        return CaptureSource::Portal;
    if (xcbshm::Available())
        return CaptureSource::SharedMemory;
    if (QGuiApplication::primaryScreen())
        return CaptureSource::Qt;
    return CaptureSource::None;
}

} // namespace

CaptureSource ScreenSource()
{
    if (overridden)
        return *overridden;
    static const CaptureSource chosen = choose();
    return chosen;
}

QString NoSourceReason()
{
    return QObject::tr("this display offers no way to read the screen.");
}

void OverrideScreenSource(std::optional<CaptureSource> source)
{
    overridden = source;
}

} // namespace capture
