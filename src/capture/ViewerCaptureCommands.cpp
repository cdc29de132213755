// The viewer's capture and crop commands.
#include "capture/frmScreenCapture.h"

#include "capture/Capture.h"
#include "capture/ScreenSettle.h"
#include "capture/frmCaptureRectangle.h"
#include "forms/DoEvents.h"
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
    hide();
    waitUntilOffScreen();

    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const long widthTwips = std::lrint(forms::ScreenWidthTwips(screen));
    const long heightTwips = std::lrint(forms::ScreenHeightTwips(screen));
    const long tx = std::max(1L, std::lrint(forms::TwipsPerPixelX(screen)));
    const long ty = std::max(1L, std::lrint(forms::TwipsPerPixelY(screen)));
    const QPoint corner = screen ? screen->geometry().topLeft() : QPoint();
    // The old picture goes before the grab, so its pixels can serve this capture and a
    // capture never holds two screens' worth of memory.
    setPicture(forms::Picture());
    setPicture(GrabWindowArea(GetDesktopWindow(), false, corner.x(), corner.y(),
                              static_cast<int>(widthTwips / tx),
                              static_cast<int>(heightTwips / ty)));
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
