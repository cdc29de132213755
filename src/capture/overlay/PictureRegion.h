#pragma once

#include "forms/Picture.h"

#include <QRect>

namespace capture {

// The pixels of area (inside picture) as a picture of their own. A large area (from
// about a third of the picture) shares the picture's pixels instead of copying them, so
// taking much of a full-screen snapshot costs no second screen's worth of memory; a small
// one is copied, so it does not keep the whole snapshot alive. The result carries ratio (by default
// the picture's own).
forms::Picture PictureRegion(const forms::Picture& picture, const QRect& area);
forms::Picture PictureRegion(const forms::Picture& picture, const QRect& area, qreal ratio);

// The pixels of area as a read-only view over the picture's own, whatever its size, at
// ratio. Writing to it detaches as for any shared picture.
forms::Picture SharedRegion(const forms::Picture& picture, const QRect& area, qreal ratio);

} // namespace capture
