#include "capture/overlay/PictureRegion.h"

namespace capture {
namespace {

// Areas covering at least this share of the picture share its pixels. A copy costs its
// size on top of the picture while both live, so this bounds a capture's peak at 1.3
// pictures; a shared area keeps no more alive than the capture itself took.
constexpr double kShareAtLeast = 0.3;

void releaseSource(void* source)
{
    delete static_cast<forms::Picture*>(source);
}

} // namespace

forms::Picture PictureRegion(const forms::Picture& picture, const QRect& area)
{
    return PictureRegion(picture, area, picture.devicePixelRatio());
}

forms::Picture PictureRegion(const forms::Picture& picture, const QRect& area, qreal ratio)
{
    const QRect inside = area & picture.rect();
    if (inside.isEmpty())
        return forms::Picture();
    if (inside == picture.rect() && ratio == picture.devicePixelRatio())
        return picture;

    const double share
        = double(inside.width()) * inside.height() / (double(picture.width()) * picture.height());
    if (share >= kShareAtLeast && picture.depth() % 8 == 0)
        return SharedRegion(picture, inside, ratio);
    forms::Picture copy = picture.copy(inside);
    copy.setDevicePixelRatio(ratio);
    return copy;
}

forms::Picture SharedRegion(const forms::Picture& picture, const QRect& area, qreal ratio)
{
    const QRect inside = area & picture.rect();
    const int depth = picture.depth();
    if (inside.isEmpty() || depth % 8 != 0) {
        forms::Picture copy = picture.copy(inside);
        copy.setDevicePixelRatio(ratio);
        return copy;
    }
    // The view holds a reference to the source, which frees the pixels after both.
    auto* source = new forms::Picture(picture);
    const uchar* first = source->constBits() + qsizetype(inside.y()) * source->bytesPerLine()
                         + qsizetype(inside.x()) * (depth / 8);
    forms::Picture view(first, inside.width(), inside.height(), source->bytesPerLine(),
                        source->format(), releaseSource, source);
    view.setDevicePixelRatio(ratio);
    if (source->format() == QImage::Format_Indexed8)
        view.setColorTable(source->colorTable());
    return view;
}

} // namespace capture
