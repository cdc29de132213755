#include "capture/grab/Departure.h"

#include "capture/grab/ScreenReadBack.h"
#include "capture/grab/ScreenSettle.h"
#include "capture/grab/TransparentFrame.h"

#include <QElapsedTimer>
#include <QWidget>

namespace capture {

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
    } else if (const std::optional<ScreenReadBack> readBack = ScreenReadBack::Watch(window)) {
        window.hide();
        WaitUntilOffScreen(window, left());
        confirmed_ = readBack->WaitUntilGone(left());
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
    if (transparent_)
        EndTransparentFrame(window_);
}

} // namespace capture
