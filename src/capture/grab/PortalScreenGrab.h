#pragma once

#include "forms/Picture.h"

#include <QRect>
#include <QString>

#include <chrono>

namespace capture::portal {

// Screen pixels on Wayland sessions, where no client may read the screen itself: the
// desktop portal's Screenshot call takes the picture and hands us a file, which we read
// and then remove.

// Either a picture or why there is none.
struct Shot {
    forms::Picture picture;
    QString error;
};

// The portal answers within seconds. A desktop that asks the user for permission first
// gives the question the bus's default 25 seconds, and then drops the request (some portals
// answer 2, others never answer): by then no picture can come.
inline constexpr std::chrono::milliseconds kTimeout {26000};

// A picture of the whole desktop, every output at the desktop's largest scale. Waits in a
// local event loop, so other events run meanwhile.
Shot Screenshot(std::chrono::milliseconds timeout = kTimeout);

// Why a Response other than 0 (success) gave no picture.
QString ResponseError(uint response);

// The part of a desktop picture that shows logicalRect (logical pixels of a desktop whose
// bounding box is desktop): edges are rounded to device pixels, not extents, so parts
// tile without gaps. Parts outside the picture are black.
forms::Picture CutOut(const forms::Picture& desktopPicture, const QRect& desktop,
                      const QRect& logicalRect);

} // namespace capture::portal
