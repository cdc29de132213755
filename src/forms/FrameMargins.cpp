#include "forms/FrameMargins.h"

#include "forms/DesktopSession.h"
#include "forms/x11/FrameExtents.h"

#include <QWidget>

namespace forms {

std::optional<QMargins> ExpectedFrameMargins(QWidget& window)
{
    if (CurrentWindowSystem() != WindowSystem::X11)
        return std::nullopt; // before winId(), which would make the native window early
    const std::optional<QMargins> device
        = x11::RequestFrameExtents(static_cast<unsigned>(window.winId()));
    if (!device)
        return std::nullopt;
    // The manager measures in device pixels; widgets in logical ones.
    const qreal ratio = window.devicePixelRatioF();
    const auto logical = [ratio](int pixels) { return qRound(pixels / ratio); };
    return QMargins(logical(device->left()), logical(device->top()), logical(device->right()),
                    logical(device->bottom()));
}

} // namespace forms
