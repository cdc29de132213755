// The viewer's capture and crop commands.
#include "capture/frmScreenCapture.h"

#include "capture/Capture.h"
#include "capture/ScreenSettle.h"
#include "capture/frmCaptureRectangle.h"
#include "forms/DoEvents.h"
#include "forms/PictureBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>

namespace capture {

void frmScreenCapture::waitUntilOffScreen()
{
    QElapsedTimer timer;
    timer.start();
    const auto elapsed = [&timer] { return std::chrono::nanoseconds(timer.nsecsElapsed()); };
    // The X server unmaps us (and the window manager its frame) asynchronously.
    while (!IsOffScreen(*this) && elapsed() < kHideTimeout)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // Windows uncovered by ours repaint now: our own through the event loop, other
    // programs' in their own time, for which the settle allows.
    const auto settleUntil = std::min(elapsed() + kRepaintSettle,
                                      std::chrono::nanoseconds(kHideTimeout) + kRepaintSettle);
    while (elapsed() < settleUntil)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    SyncWithDisplay();
    lastHideWait_ = elapsed();
}

bool frmScreenCapture::CaptureDesktop()
{
    const QPoint where = pos();
    QScreen* home = screen();
    hide();
    waitUntilOffScreen();

    // The old picture goes before the grab, so its pixels can serve this capture and a
    // capture never holds two desktops' worth of memory.
    setPicture(forms::Picture());
    // The ratio of the monitor the viewer comes back to, which then shows the picture
    // pixel for pixel.
    setPicture(GrabDesktop(home ? home->devicePixelRatio() : 1.0));
    if (home)
        setScreen(home);
    move(where);
    return true;
}

void frmScreenCapture::mnuFullScreen_Click()
{
    CaptureDesktop();
    forms::ShowModeless(*this);
    SetupScrollBars();
}

void frmScreenCapture::mnuRectangle_Click()
{
    CaptureDesktop();
    forms::DoEvents();
    frmCaptureRectangle& overlay = frmCaptureRectangle::instance();
    disconnect(&overlay, nullptr, this, nullptr);
    connect(&overlay, &frmCaptureRectangle::selected, this,
            [this](const forms::Picture& selection) { setPicture(selection); });
    connect(&overlay, &frmCaptureRectangle::closed, this, [this] {
        forms::ShowModeless(*this);
        SetupScrollBars();
    });
    overlay.ShowPicture(picture());
}

void frmScreenCapture::mnuCrop_Click()
{
    crop_.StartCropMode();
}
} // namespace capture
