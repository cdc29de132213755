// The viewer's layout: the viewport and scroll bars follow the window's size, and the
// image follows the bars.
#include "capture/viewer/frmScreenCapture.h"

#include "capture/viewer/ScrollModel.h"
#include "capture/viewer/ViewerDesign.h"
#include "forms/PictureBox.h"
#include "forms/Twips.h"

#include <QScrollBar>
#include <QToolBar>

#include <cmath>

namespace capture {

using namespace viewer_design;

double frmScreenCapture::outerWidthTwips() const
{
    return client_->width() * forms::TwipsPerPixelX(screen()) + kFrameAllowanceX;
}

double frmScreenCapture::outerHeightTwips() const
{
    return client_->height() * forms::TwipsPerPixelY(screen()) + kFrameAllowanceY;
}

void frmScreenCapture::setOuterSizeTwips(double width, double height)
{
    const int clientWidth = forms::TwipsToPixelsX(width - kFrameAllowanceX, screen());
    const int clientHeight = forms::TwipsToPixelsY(height - kFrameAllowanceY, screen());
    resize(clientWidth + (this->width() - client_->width()),
           clientHeight + (this->height() - client_->height()));
}

void frmScreenCapture::Form_Resize()
{
    const double width = outerWidthTwips();
    const double height = outerHeightTwips();
    const double wanted = EnforcedWindowWidth(width);
    const double wantedHeight = EnforcedWindowHeight(height);
    if (wanted != width || wantedHeight != height)
        setOuterSizeTwips(wanted, wantedHeight);
    Toolbar1_->setGeometry(0, 0, client_->width(), py(kToolbarHeight));
    ArrangeViewport();
    SetupScrollBars();
}

void frmScreenCapture::ArrangeViewport()
{
    ViewportInput in;
    in.windowWidth = outerWidthTwips();
    in.windowHeight = outerHeightTwips();
    in.vScrollVisible = !VScroll1_->isHidden();
    in.hScrollVisible = !HScroll1_->isHidden();
    in.vScrollWidth = VScroll1_->width() * forms::TwipsPerPixelX(screen());
    in.hScrollHeight = HScroll1_->height() * forms::TwipsPerPixelY(screen());
    in.toolbarHeight = Toolbar1_->height() * forms::TwipsPerPixelY(screen());
    in.viewportLeft = kViewportLeft;
    in.viewportTop = kViewportTop;
    const ViewportLayout out = capture::ArrangeViewport(in);
    if (out.viewportWidth <= 0 || out.viewportHeight <= 0)
        return; // too small for a viewport: leave everything where it is

    Picture1_->setGeometry(px(in.viewportLeft), py(in.viewportTop), px(out.viewportWidth),
                           py(out.viewportHeight));
    VScroll1_->setGeometry(px(out.vScrollLeft), py(out.vScrollTop), VScroll1_->width(),
                           py(out.vScrollHeight));
    VScroll1_->setValue(0);
    HScroll1_->setGeometry(px(out.hScrollLeft), py(out.hScrollTop), px(out.hScrollWidth),
                           HScroll1_->height());
    HScroll1_->setValue(0);
    Picture2_->move(0, 0);
}

void frmScreenCapture::SetupScrollBars()
{
    const double tx = forms::TwipsPerPixelX(screen());
    const double ty = forms::TwipsPerPixelY(screen());
    bool visibilityChanged = false;
    const auto setUp = [&visibilityChanged](QScrollBar* bar, const ScrollRange& range) {
        bar->setValue(0);
        bar->setRange(0, range.max);
        bar->setSingleStep(range.smallChange);
        bar->setPageStep(range.largeChange);
        if (bar->isHidden() == range.visible()) {
            visibilityChanged = true;
            bar->setVisible(range.visible());
        }
        bar->update();
    };
    setUp(VScroll1_, ComputeScrollRange(Picture2_->height(), Picture1_->height() * ty, ty));
    setUp(HScroll1_, ComputeScrollRange(Picture2_->width(), Picture1_->width() * tx, tx));

    if (!Picture1_->isHidden()) {
        QWidget* active = focusWidget();
        Picture1_->setFocus();
        if (active && active != HScroll1_ && active != VScroll1_)
            active->setFocus();
    }
    if (visibilityChanged)
        ArrangeViewport();
}

void frmScreenCapture::HScroll1_Change(int value)
{
    const double tx = forms::TwipsPerPixelX(screen());
    if (const auto left = ImageOffsetForScroll(value, HScroll1_->maximum(), Picture2_->width(),
                                               Picture1_->width() * tx, tx, kHorizontalEndMargin))
        Picture2_->move(static_cast<int>(std::lrint(*left)), Picture2_->y());
}

void frmScreenCapture::VScroll1_Change(int value)
{
    const double ty = forms::TwipsPerPixelY(screen());
    if (const auto top = ImageOffsetForScroll(value, VScroll1_->maximum(), Picture2_->height(),
                                              Picture1_->height() * ty, ty, kVerticalEndMargin))
        Picture2_->move(Picture2_->x(), static_cast<int>(std::lrint(*top)));
}
} // namespace capture
