#include "capture/viewer/CropSelection.h"

#include "capture/overlay/BandGeometry.h"
#include "capture/overlay/RubberBand.h"
#include "forms/PictureBox.h"

#include <QAction>
#include <QMouseEvent>

namespace capture {

CropSelection::CropSelection(forms::PictureBox& picture2, QAction& cropButton, QObject* parent)
    : QObject(parent)
    , picture2_(picture2)
    , cropButton_(cropButton)
    , band_(std::make_unique<RubberBand>(picture2))
{
    picture2_.installEventFilter(this);
}

CropSelection::~CropSelection() = default;

bool CropSelection::Dragging() const
{
    return band_->dragging();
}

void CropSelection::StartCropMode()
{
    cropMode_ = true;
    picture2_.setMousePointer(2);
    cropButton_.setCheckable(true);
    cropButton_.setChecked(true);
}

bool CropSelection::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &picture2_ || !cropMode_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        Picture2_MouseDown(static_cast<const QMouseEvent&>(*event));
        return true;
    case QEvent::MouseMove:
        Picture2_MouseMove(static_cast<const QMouseEvent&>(*event));
        return true;
    case QEvent::MouseButtonRelease:
        Picture2_MouseUp();
        return true;
    default:
        return false;
    }
}

void CropSelection::Picture2_MouseDown(const QMouseEvent& event)
{
    pressed_ = true;
    picture2_.setMousePointer(2);
    band_->press(PrecisePosition(event, picture2_), event.button());
}

void CropSelection::Picture2_MouseMove(const QMouseEvent& event)
{
    band_->move(PrecisePosition(event, picture2_));
}

void CropSelection::Picture2_MouseUp()
{
    if (!pressed_)
        return;
    pressed_ = false;
    band_->hide();
    picture2_.setMousePointer(0);
    cropButton_.setChecked(false);
    cropMode_ = false;
    band_->endDrag();

    // The copy comes from the picture itself, so the band never reaches it, and only
    // from the part of the band that lies on the picture.
    const forms::Picture& picture = picture2_.picture();
    if (picture.isNull()) {
        // Nothing to copy from: the crop is the band's area of the box's bare background.
        forms::Picture blank(band_->bounds().size(), QImage::Format_RGB32);
        blank.setDevicePixelRatio(picture2_.pixelRatio());
        blank.fill(picture2_.backColor());
        emit cropped(blank);
        return;
    }
    const QRect area = ClipToPicture(band_->bounds(), picture.size());
    if (!area.isEmpty())
        emit cropped(picture.copy(area));
}

} // namespace capture
