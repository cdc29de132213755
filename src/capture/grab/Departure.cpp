#include "capture/grab/Departure.h"

#include "capture/grab/ScreenReadBack.h"
#include "capture/grab/ScreenSettle.h"
#include "capture/grab/TransparentFrame.h"
#include "forms/DesktopSession.h"

#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

namespace capture {
namespace {

// How soon a compositing manager that honours a window's opacity shows it changing.
constexpr std::chrono::milliseconds kOpacityNoticed {150};

} // namespace

Departure::Departure(QWidget& window, std::chrono::milliseconds bound)
    : window_(window)
{
    QElapsedTimer timer;
    timer.start();
    const auto left = [&] {
        return bound
               - std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::nanoseconds(timer.nsecsElapsed()));
    };
    if (LeavesByTransparency()) {
        // Hidden, a Wayland client could not tell when the compositor stops showing it;
        // shown transparent it can, and hides once the capture has read the screen.
        transparent_ = true;
        confirmed_ = ShowTransparentFrame(window, bound);
    } else if (forms::OnWaylandSession()) {
        // Through Xwayland the root window reads back black. The compositor, also the window
        // manager, takes our X requests in order: once it has withdrawn the window, it has
        // seen the opacity drop first, so no animation of the window's going can show.
        if (QWindow* handle = window.windowHandle()) {
            transparent_ = true;
            handle->setOpacity(0.0);
        }
        window.hide();
        confirmed_ = WaitUntilOffScreen(window, left());
    } else if (const std::optional<ScreenReadBack> readBack = ScreenReadBack::Watch(window)) {
        bool faded = false;
        if (readBack->composited() && window.windowHandle()) {
            // Compositing managers animate a window's unmapping (a fade whose last faint
            // frames can look still), not its opacity dropping to nothing; fully transparent,
            // it then unmaps unseen. A manager that ignores the opacity shows no change soon.
            transparent_ = true;
            window.windowHandle()->setOpacity(0.0);
            SyncWithDisplay();
            faded = readBack->WaitUntilGone(left(), kOpacityNoticed);
        }
        window.hide();
        WaitUntilOffScreen(window, left());
        // Even faded to nothing, a manager may show its frame's shadow going: a still frame
        // after the unmapping tells it does not.
        confirmed_ = faded ? readBack->WaitUntilStill(left()) : readBack->WaitUntilGone(left());
    } else {
        window.hide();
        confirmed_ = WaitUntilOffScreen(window, left());
        SettleAfterHiding(left());
    }
    waited_ = std::chrono::nanoseconds(timer.nsecsElapsed());
}

Departure::~Departure()
{
    window_.hide();
    if (!transparent_)
        return;
    if (LeavesByTransparency())
        EndTransparentFrame(window_);
    else if (QWindow* handle = window_.windowHandle())
        handle->setOpacity(1.0);
}

} // namespace capture
