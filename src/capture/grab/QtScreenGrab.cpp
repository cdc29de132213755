#include "capture/grab/QtScreenGrab.h"

#include <QGuiApplication>
#include <QPainter>
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

forms::Picture GrabMonitorsWithQt(const QList<Monitor>& monitors, const QRect& bounds)
{
    forms::Picture desktop(bounds.size(), QImage::Format_RGB32);
    desktop.fill(Qt::black);
    QPainter painter(&desktop);
    for (const Monitor& monitor : monitors) {
        QImage pixels = monitor.screen->grabWindow(0).toImage();
        pixels.setDevicePixelRatio(1); // placed in device pixels, never scaled
        painter.drawImage(monitor.device.topLeft() - bounds.topLeft(), pixels);
    }
    return desktop;
}

} // namespace capture
