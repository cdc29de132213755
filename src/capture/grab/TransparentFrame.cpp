#include "capture/grab/TransparentFrame.h"

#include "forms/DesktopSession.h"
#include "forms/WindowFade.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace capture {
namespace {

// Qt delivers a window's update request once the compositor has answered the frame
// callback of the window's last commit: the frame holding that commit is on the screen.
class FrameDrawn : public QObject {
public:
    FrameDrawn(QWindow& window, QEventLoop& loop)
        : loop_(loop)
    {
        window.installEventFilter(this);
    }
    bool arrived = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest && !arrived) {
            arrived = true;
            loop_.quit();
        }
        return false;
    }

private:
    QEventLoop& loop_;
};

} // namespace

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
}

bool ShowTransparentFrame(QWidget& window, std::chrono::milliseconds bound)
{
    QWindow* handle = window.windowHandle();
    if (!handle || !window.isVisible() || !handle->isExposed())
        return true; // nothing of it shows
    forms::FadeWindow(window, 0.0);
    window.repaint(); // painted and committed now, with a frame callback
    QEventLoop loop;
    FrameDrawn drawn(*handle, loop);
    handle->requestUpdate();
    QTimer::singleShot(bound, &loop, &QEventLoop::quit);
    if (!drawn.arrived)
        loop.exec();
    return drawn.arrived;
}

void EndTransparentFrame(QWidget& window)
{
    forms::FadeWindow(window, 1.0);
}

} // namespace capture
