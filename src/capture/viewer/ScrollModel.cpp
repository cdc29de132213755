#include "capture/viewer/ScrollModel.h"

#include <cmath>

namespace capture {

ViewportLayout ArrangeViewport(const ViewportInput& in)
{
    ViewportLayout out;
    out.viewportWidth = in.vScrollVisible ? in.windowWidth - in.vScrollWidth - 150 - in.viewportLeft
                                          : in.windowWidth - 120 - in.viewportLeft;
    // The toolbar's height counts only while the horizontal bar shows; the bar's own
    // height is always kept free below the viewport.
    out.viewportHeight
        = in.hScrollVisible
              ? in.windowHeight - in.viewportTop - in.toolbarHeight - in.hScrollHeight - 400 - 30
              : in.windowHeight - in.viewportTop - in.hScrollHeight - 400 - 30;
    out.vScrollLeft = out.viewportWidth + in.viewportLeft;
    out.vScrollHeight = out.viewportHeight;
    out.vScrollTop = in.viewportTop;
    out.hScrollTop = out.viewportHeight + in.viewportTop;
    out.hScrollWidth = out.viewportWidth;
    out.hScrollLeft = in.viewportLeft;
    return out;
}

double EnforcedWindowWidth(double width)
{
    return width < kMinWindowWidth ? kResetWindowWidth : width;
}

double EnforcedWindowHeight(double height)
{
    return height < kMinWindowHeight ? kMinWindowHeight : height;
}

ScrollRange ComputeScrollRange(double imagePixels, double viewportTwips, double twipsPerPixel)
{
    ScrollRange range;
    const float imageTwips = static_cast<float>(imagePixels * twipsPerPixel);
    range.max = imageTwips < viewportTwips
                    ? 0
                    : static_cast<int>(std::lrint(imagePixels * twipsPerPixel - viewportTwips));
    range.smallChange = static_cast<int>(std::lrint(range.max / 20.0 + 1));
    range.largeChange = static_cast<int>(std::lrint(range.max / 5.0 + 1));
    return range;
}

std::optional<double> ImageOffsetForScroll(int value, int max, double imagePixels,
                                           double viewportTwips, double twipsPerPixel,
                                           double endMargin)
{
    if (value == 0)
        return 0.0;
    if (value == max)
        return -(imagePixels - viewportTwips / twipsPerPixel + endMargin);
    if (static_cast<float>(imagePixels * twipsPerPixel) > viewportTwips)
        return -(value / twipsPerPixel + kScrollLead);
    return std::nullopt;
}

} // namespace capture
