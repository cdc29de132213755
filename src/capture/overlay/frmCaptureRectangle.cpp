#include "capture/overlay/frmCaptureRectangle.h"

#include "capture/grab/Desktop.h"
#include "capture/overlay/PictureRegion.h"
#include "forms/PictureBox.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace capture {

frmCaptureRectangle::frmCaptureRectangle()
{
    Form_Load();
}

frmCaptureRectangle::~frmCaptureRectangle() = default;

void frmCaptureRectangle::Form_Load()
{
    setObjectName(QStringLiteral("frmCaptureRectangle"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
}

void frmCaptureRectangle::ShowPicture(const forms::Picture& picBitmap)
{
    snapshot_ = picBitmap;
    parts_.clear();
    others_.clear();
    disconnect(this, &MonitorOverlay::released, this, nullptr);
    disconnect(this, &MonitorOverlay::leaveRequested, this, nullptr);
    const QList<Monitor> monitors = DesktopMonitors();
    const QRect desktop = DesktopBounds(monitors);
    if (monitors.isEmpty() || picBitmap.size() != desktop.size()) {
        // Not a picture of this desktop (the monitors changed since the grab, say): it
        // shows from the primary monitor's corner.
        place(*this, QPoint());
        cover(monitors.isEmpty() ? nullptr : monitors.first().screen, picBitmap);
    } else {
        // Every overlay shows a view into the one snapshot: no monitor's part is copied.
        for (const Monitor& monitor : monitors) {
            MonitorOverlay* overlay = this;
            if (monitor.screen != monitors.first().screen)
                overlay = others_.emplace_back(std::make_unique<MonitorOverlay>()).get();
            const QRect part = monitor.device.translated(-desktop.topLeft());
            place(*overlay, part.topLeft());
            overlay->cover(monitor.screen, SharedRegion(picBitmap, part, monitor.ratio));
        }
    }
    raise();
    activateWindow();
}

void frmCaptureRectangle::place(MonitorOverlay& overlay, QPoint offset)
{
    parts_.push_back(Part {&overlay, offset});
    const Part part = parts_.back();
    connect(&overlay, &MonitorOverlay::released, this, [this, part] { completeSelection(part); });
    connect(&overlay, &MonitorOverlay::leaveRequested, this, &frmCaptureRectangle::leave);
}

QList<MonitorOverlay*> frmCaptureRectangle::overlays() const
{
    QList<MonitorOverlay*> all;
    for (const Part& part : parts_)
        all.append(part.overlay);
    return all;
}

void frmCaptureRectangle::showEvent(QShowEvent* event)
{
    MonitorOverlay::showEvent(event);
    // The keyboard can only be grabbed once the window is viewable, so wait for exposure.
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
}

bool frmCaptureRectangle::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle()) {
        if (event->type() == QEvent::Expose && windowHandle()->isExposed() && !finished_) {
            windowHandle()->removeEventFilter(this);
            activateWindow();
            // Escape then reaches us from whichever monitor holds the pointer.
            grabKeyboard();
        }
        return false;
    }
    return MonitorOverlay::eventFilter(watched, event);
}

void frmCaptureRectangle::completeSelection(const Part& part)
{
    if (finished_)
        return;
    const QRect area = part.overlay->selection();
    if (!area.isEmpty()) {
        const qreal ratio = part.overlay->picture1().picture().devicePixelRatio();
        // Taken from the whole snapshot, so a small area is copied and frees it.
        emit selected(PictureRegion(snapshot_, area.translated(part.offset), ratio));
    }
    leave();
}

void frmCaptureRectangle::leave()
{
    if (!finished_)
        forms::Unload(*this);
}

void frmCaptureRectangle::closeEvent(QCloseEvent* event)
{
    const bool first = !finished_;
    finished_ = true;
    for (const Part& part : parts_) {
        part.overlay->stop();
        if (part.overlay != this)
            part.overlay->hide();
    }
    stop();
    releaseKeyboard();
    event->accept();
    if (first)
        emit closed();
}

} // namespace capture
