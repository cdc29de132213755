// The viewer's capture and crop commands.
#include "capture/viewer/frmScreenCapture.h"

#include "capture/grab/Capture.h"
#include "capture/grab/ScreenSettle.h"
#include "capture/grab/TransparentFrame.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "forms/DoEvents.h"
#include "forms/MsgBox.h"
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
    const std::chrono::nanoseconds settle = kRepaintSettle;
    const auto settleUntil
        = std::min(elapsed() + settle, std::chrono::nanoseconds(kHideTimeout) + settle);
    while (elapsed() < settleUntil)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    SyncWithDisplay();
    lastHideWait_ = elapsed();
}

bool frmScreenCapture::CaptureDesktop()
{
    const QPoint where = pos();
    QScreen* home = screen();
    // Kept until the grab has worked: a failed capture leaves the picture as it was.
    const forms::Picture previous = picture();
    // The ratio of the monitor the viewer comes back to, which then shows the picture
    // pixel for pixel.
    const qreal ratio = home ? home->devicePixelRatio() : 1.0;
    forms::Picture shot;
    if (LeavesByTransparency()) {
        // Gone from the screen while still there: hidden, it could not tell when.
        QElapsedTimer timer;
        timer.start();
        ShowTransparentFrame(*this, kHideTimeout);
        lastHideWait_ = std::chrono::nanoseconds(timer.nsecsElapsed());
        shot = GrabDesktop(ratio);
        hide();
        EndTransparentFrame(*this);
    } else {
        hide();
        waitUntilOffScreen();
        shot = GrabDesktop(ratio);
    }
    setPicture(shot.isNull() ? previous : shot);
    if (home)
        setScreen(home);
    move(where);
    return !shot.isNull();
}

void frmScreenCapture::explainCaptureFailure()
{
    forms::ShowModeless(*this);
    SetupScrollBars();
    forms::MsgBox(tr("Screen capture is not available: %1").arg(LastGrabError()),
                  forms::vbInformation);
}

void frmScreenCapture::mnuFullScreen_Click()
{
    if (!CaptureDesktop())
        return explainCaptureFailure();
    forms::ShowModeless(*this);
    SetupScrollBars();
}

void frmScreenCapture::mnuRectangle_Click()
{
    if (!CaptureDesktop())
        return explainCaptureFailure();
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
