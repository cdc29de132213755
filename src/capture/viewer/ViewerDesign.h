#pragma once

#include "forms/Twips.h"

// The viewer's design measures, in twips, shared by its construction and its layout.
namespace capture::viewer_design {

constexpr double kClientWidth = 7980;
constexpr double kClientHeight = 5160;
constexpr double kToolbarHeight = 420;
constexpr double kViewportLeft = 0;
constexpr double kViewportTop = 450;
constexpr double kScrollBarThickness = 255;
// The layout arithmetic measures the window from its outer edges; these are the
// border and caption allowances it assumes, so the same numbers hold with or without
// a window manager.
constexpr double kFrameAllowanceX = 120;
constexpr double kFrameAllowanceY = 430;

inline int px(double twips)
{
    return forms::TwipsToPixelsX(twips);
}
inline int py(double twips)
{
    return forms::TwipsToPixelsY(twips);
}

} // namespace capture::viewer_design
