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
    // Qt's own frames from now on are transparent too, but Qt may hold one back while the
    // compositor still has its last, or drop it while that buffer is in use: a buffer of our
    // own tells for sure when the compositor has drawn the window gone.
    forms::FadeWindow(window, 0.0);
    window.repaint();
    if (!forms::wayland::ShowClear(*handle, bound))
        return false;
    // GNOME Shell took a screenshot asked for right after that frame up to 600 ms longer, one
    // time in three; asked for after the next frame, never (30 captures each way).
    if (forms::CurrentDesktopIs(QStringLiteral("GNOME")))
        return forms::wayland::WaitUntilDrawn(*handle, bound) && bare;
    return bare;
}

void EndTransparentFrame(QWidget& window)
{
    forms::FadeWindow(window, 1.0);
    forms::wayland::RestoreTitleBar(window);
}

} // namespace capture
