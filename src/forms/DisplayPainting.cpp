#include "forms/DisplayPainting.h"

#include <QBackingStore>
#include <QPaintDevice>
#include <QWindow>

namespace forms {

bool CanPaintOnDisplay()
{
    // A window's own buffer, as every form would get one; the window is never shown.
    QWindow window;
    window.setSurfaceType(QSurface::RasterSurface);
    window.resize(1, 1);
    window.create();
    QBackingStore store(&window);
    store.resize(QSize(1, 1));
    const QRegion pixel(0, 0, 1, 1);
    store.beginPaint(pixel);
    const QPaintDevice* device = store.paintDevice();
    const bool paints = device && device->paintEngine();
    store.endPaint();
    return paints;
}

} // namespace forms
