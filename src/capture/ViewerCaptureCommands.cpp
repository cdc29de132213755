// The viewer's capture and crop commands.
#include "capture/frmScreenCapture.h"

#include "capture/Capture.h"
#include "capture/ScreenSettle.h"
#include "capture/frmCaptureRectangle.h"
#include "forms/DoEvents.h"
#include "forms/MsgBox.h"
#include "forms/PictureBox.h"
#include "forms/Twips.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

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
    const auto settle = RepaintTime(kRepaintSettle);
    const auto settleUntil = std::min(elapsed() + settle, std::chrono::nanoseconds(kHideTimeout) + settle);
    while (elapsed() < settleUntil)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    SyncWithDisplay();
    lastHideWait_ = elapsed();
}

bool frmScreenCapture::CaptureDesktop()
{
    const QPoint where = pos();
    // Kept until the grab has worked: a failed capture leaves the picture as it was.
    const forms::Picture previous = picture();
    hide();
    waitUntilOffScreen();

    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const long widthTwips = std::lrint(forms::ScreenWidthTwips(screen));
    const long heightTwips = std::lrint(forms::ScreenHeightTwips(screen));
    const long tx = std::max(1L, std::lrint(forms::TwipsPerPixelX(screen)));
    const long ty = std::max(1L, std::lrint(forms::TwipsPerPixelY(screen)));
    const QPoint corner = screen ? screen->geometry().topLeft() : QPoint();
    const forms::Picture shot = GrabWindowArea(GetDesktopWindow(), false, corner.x(), corner.y(),
                                               static_cast<int>(widthTwips / tx),
                                               static_cast<int>(heightTwips / ty));
    setPicture(shot.isNull() ? previous : shot);
    move(where);
    return !shot.isNull();
}

void frmScreenCapture::explainCaptureFailure()
{
    forms::ShowModeless(*this);
    SetupScrollBars();
    forms::MsgBox(tr("Screen capture is not available: %1").arg(LastGrabError()), forms::vbInformation);
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
