#include "capture/grab/TransparentFrame.h"

#include "forms/DesktopSession.h"
#include "forms/WindowFade.h"
#include "forms/wayland/ClearSurface.h"
#include "forms/wayland/SurfaceFrame.h"
#include "forms/wayland/TitleBar.h"

#include <QWidget>
#include <QWindow>

namespace capture {

bool LeavesByTransparency()
{
    return forms::CurrentWindowSystem() == forms::WindowSystem::Wayland;
}

void PrepareTransparentFrame(QWidget& window)
{
    if (!LeavesByTransparency())
        return;
    // A surface with alpha, and still the window's own opaque background beneath its
    // controls until it fades.
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setAttribute(Qt::WA_NoSystemBackground, false);
    // A title bar the compositor draws would show while the window is transparent.
    forms::wayland::OwnTitleBar(window);
}

bool ShowTransparentFrame(QWidget& window, std::chrono::milliseconds bound)
{
    QWindow* handle = window.windowHandle();
    if (!handle || !window.isVisible() || !handle->isExposed())
        return true; // nothing of it shows
    // Its title bar goes with the frame that follows.
    const bool bare = forms::wayland::DropTitleBar(window, bound);
    // Qt's own frames from now on are transparent too.
    forms::FadeWindow(window, 0.0);
    window.repaint();
    if (forms::CurrentDesktopIs(QStringLiteral("GNOME"))) {
        // Qt may hold a frame back while the compositor still has its last one, or drop it
        // while that buffer is in use: once this frame is drawn, neither is the case, so the
        // transparent frame painted again is surely committed. With a buffer of our own
        // instead, captures on GNOME Shell measured slower (1.6 times a bare portal call,
        // against 1.0 to 1.4).
        if (!forms::wayland::WaitUntilDrawn(*handle, bound))
            return false;
        window.repaint();
        return forms::wayland::WaitUntilDrawn(*handle, bound) && bare;
    }
    // Elsewhere a buffer of our own tells for sure, in one frame, when the compositor has
    // drawn the window gone.
    return forms::wayland::ShowClear(*handle, bound) && bare;
}

void EndTransparentFrame(QWidget& window)
{
    forms::FadeWindow(window, 1.0);
    forms::wayland::RestoreTitleBar(window);
}

} // namespace capture
