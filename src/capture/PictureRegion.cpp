#include "capture/PictureRegion.h"

namespace capture {
namespace {

// Areas covering at least this share of the picture share its pixels.
constexpr double kShareAtLeast = 0.5;

void releaseSource(void* source)
{
    delete static_cast<forms::Picture*>(source);
}

} // namespace

forms::Picture PictureRegion(const forms::Picture& picture, const QRect& area)
{
    const QRect inside = area & picture.rect();
    if (inside.isEmpty())
        return forms::Picture();
    if (inside == picture.rect())
        return picture;

    const double share = double(inside.width()) * inside.height()
        / (double(picture.width()) * picture.height());
    const int depth = picture.depth();
    if (share < kShareAtLeast || depth % 8 != 0)
        return picture.copy(inside);

    // A read-only view over the source's rows; the view holds a reference to the source,
    // and writing to it detaches as for any shared picture.
    auto* source = new forms::Picture(picture);
    const uchar* first = source->constBits() + qsizetype(inside.y()) * source->bytesPerLine()
        + qsizetype(inside.x()) * (depth / 8);
    forms::Picture view(first, inside.width(), inside.height(), source->bytesPerLine(),
                        source->format(), releaseSource, source);
    view.setDevicePixelRatio(picture.devicePixelRatio());
    if (source->format() == QImage::Format_Indexed8)
        view.setColorTable(source->colorTable());
    return view;
}

} // namespace capture
