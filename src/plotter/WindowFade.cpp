#include "plotter/WindowFade.h"

#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QWidget>

namespace plotter {

bool FadesBySelf()
{
    // "This plugin does not support setting window opacity".
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void PrepareFade(QWidget& window)
{
    if (FadesBySelf())
        window.setAttribute(Qt::WA_TranslucentBackground);
}

void FadeWindow(QWidget& window, double opacity)
{
    if (!FadesBySelf()) {
        window.setWindowOpacity(opacity);
        return;
    }
    // The effect renders the window with its children into one layer and lays that on the
    // cleared, translucent surface at the opacity: the plane and the strip fade alike.
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(window.graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(&window);
        window.setGraphicsEffect(effect); // the window owns it from here
    }
    effect->setOpacity(opacity);
}

} // namespace plotter
