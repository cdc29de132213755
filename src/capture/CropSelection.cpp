#include "capture/CropSelection.h"

#include "forms/PictureBox.h"

#include <QAction>

namespace capture {

// Placeholder until the crop lands: arming only presses the button.
CropSelection::CropSelection(forms::PictureBox& picture2, QAction& cropButton, QObject* parent)
    : QObject(parent), picture2_(picture2), cropButton_(cropButton)
{
}

void CropSelection::StartCropMode()
{
    cropMode_ = true;
    cropButton_.setCheckable(true);
    cropButton_.setChecked(true);
}

} // namespace capture
