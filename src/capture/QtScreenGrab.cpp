#include "capture/QtScreenGrab.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

namespace capture {

forms::Picture GrabWithQt(WindowHandle window, int left, int top, int width, int height)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (window != 0) {
        for (QWindow* w : QGuiApplication::allWindows()) {
            if (w->handle() && w->winId() == window && w->screen()) {
                screen = w->screen();
                break;
            }
        }
    }
    if (!screen)
        return {};
    return screen->grabWindow(window, left, top, width, height).toImage();
}

} // namespace capture
