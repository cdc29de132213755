#pragma once

#include <optional>

namespace capture {

// The viewer's layout and scroll arithmetic. Window geometry is in twips; the image
// box (Picture2) is measured in pixels inside the viewport (Picture1).

struct ViewportInput {
    double windowWidth = 0; // W, outer width of the window
    double windowHeight = 0; // H, outer height
    bool vScrollVisible = false;
    bool hScrollVisible = false;
    double vScrollWidth = 255;
    double hScrollHeight = 255;
    double toolbarHeight = 420;
    double viewportLeft = 0; // Picture1.Left never changes
    double viewportTop = 450; // Picture1.Top never changes
};

struct ViewportLayout {
    double viewportWidth = 0; // Picture1.Width
    double viewportHeight = 0; // Picture1.Height
    double vScrollLeft = 0, vScrollTop = 0, vScrollHeight = 0;
    double hScrollLeft = 0, hScrollTop = 0, hScrollWidth = 0;
};

// Sizes the viewport to the window and places the bars along its right and bottom edges.
ViewportLayout ArrangeViewport(const ViewportInput& in);

// The smallest outer size the window keeps: narrower than kMinWindowWidth snaps to
// kResetWindowWidth, lower than kMinWindowHeight to kMinWindowHeight.
constexpr double kMinWindowWidth = 3000;
constexpr double kResetWindowWidth = 4000;
constexpr double kMinWindowHeight = 2000;
double EnforcedWindowWidth(double width);
double EnforcedWindowHeight(double height);

// One scroll bar's range, in twips of image overflow. Plain int: a large screenshot
// overflows far past 16 bits.
struct ScrollRange {
    int max = 0;
    int smallChange = 1;
    int largeChange = 1;
    bool visible() const { return max > 0; }
};

// imagePixels: Picture2's extent in pixels; viewportTwips: Picture1's extent in twips;
// twipsPerPixel: tx or ty.
ScrollRange ComputeScrollRange(double imagePixels, double viewportTwips, double twipsPerPixel);

// The image's edge offset in pixels is 5 horizontally and 4 vertically at the far end.
constexpr double kHorizontalEndMargin = 5;
constexpr double kVerticalEndMargin = 4;
// Between the ends the image sits this many pixels further than the value alone.
constexpr double kScrollLead = 4;

// Picture2's new Left (or Top) in pixels when the bar's value becomes value; nullopt
// when the image does not move.
std::optional<double> ImageOffsetForScroll(int value, int max, double imagePixels,
                                           double viewportTwips, double twipsPerPixel,
                                           double endMargin);

} // namespace capture
