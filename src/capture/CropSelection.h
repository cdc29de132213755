#pragma once

#include "forms/Picture.h"

#include <QObject>

class QAction;

namespace forms {
class PictureBox;
}

namespace capture {

// The viewer's crop: once armed, the next press, drag and release on the image box
// marks a rectangle with the rubber band and cuts the picture down to it.
class CropSelection : public QObject {
    Q_OBJECT
public:
    // picture2 is the viewer's image box; cropButton the toolbar's checkable "Crop" action.
    CropSelection(forms::PictureBox& picture2, QAction& cropButton, QObject* parent = nullptr);

    void StartCropMode();
    bool CropMode() const { return cropMode_; }

signals:
    // The cropped picture; the viewer shows it at the viewport's top-left corner.
    void cropped(const forms::Picture& picture);

private:
    forms::PictureBox& picture2_;
    QAction& cropButton_;
    bool cropMode_ = false;
};

} // namespace capture
