#include "capture/overlay/FrozenPictureBox.h"

#include "capture/overlay/X11Backdrop.h"
#include "forms/LineControl.h"

#include <QPaintEvent>

namespace capture {

FrozenPictureBox::FrozenPictureBox(QWidget* parent)
    : forms::PictureBox(parent)
{
}

bool FrozenPictureBox::freeze(const forms::Picture& picture)
{
    setPicture(picture);
    if (!BackdropSupported(picture))
        return false;
    // Painted outside Qt from now on: no window buffer of the screen's size is made for it.
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    onServer_ = SetBackdrop(*this, picture);
    if (!onServer_)
        setAttribute(Qt::WA_PaintOnScreen, false);
    return onServer_;
}

QPaintEngine* FrozenPictureBox::paintEngine() const
{
    return onServer_ ? nullptr : forms::PictureBox::paintEngine();
}

void FrozenPictureBox::paintEvent(QPaintEvent* event)
{
    if (!onServer_) {
        forms::PictureBox::paintEvent(event);
        return;
    }
    const std::vector<const forms::LineControl*> shown(lines().begin(), lines().end());
    PaintBackdrop(*this, event->region(), shown);
}

} // namespace capture
