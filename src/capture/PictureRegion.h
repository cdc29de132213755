#pragma once

#include "forms/Picture.h"

#include <QRect>

namespace capture {

// The pixels of area (inside picture) as a picture of their own. A large area shares
// the picture's pixels instead of copying them, so taking most of a full-screen snapshot
// costs no second screen's worth of memory; a small one is copied, so it does not keep
// the whole snapshot alive. Either way the result keeps the picture's pixel ratio.
forms::Picture PictureRegion(const forms::Picture& picture, const QRect& area);

} // namespace capture
