#pragma once

#include <QImage>

namespace forms {

// A picture is an implicitly shared image: copies share pixels and the last
// reference frees them. A null image is "no picture".
using Picture = QImage;

inline bool HasPicture(const Picture& picture)
{
    return !picture.isNull();
}

} // namespace forms
