// The viewer's capture and crop commands.
#include "capture/viewer/frmScreenCapture.h"

#include "capture/grab/Capture.h"
#include "capture/grab/Departure.h"
#include "capture/overlay/frmCaptureRectangle.h"
#include "forms/DoEvents.h"
#include "forms/MsgBox.h"
#include "forms/PictureBox.h"

#include <QGuiApplication>
#include <QScreen>

namespace capture {

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
    {
        const Departure gone(*this, kHideTimeout);
        lastHideWait_ = gone.waited();
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
