#pragma once

#include "forms/Picture.h"

#include <QObject>

#include <memory>

class QAction;
class QMouseEvent;

namespace forms {
class PictureBox;
}

namespace capture {

class RubberBand;

// The viewer's crop: once armed, the next press, drag and release on the image box
// marks a rectangle with the rubber band and cuts the picture down to it.
class CropSelection : public QObject {
    Q_OBJECT
public:
    // picture2 is the viewer's image box; cropButton the toolbar's checkable "Crop" action.
    CropSelection(forms::PictureBox& picture2, QAction& cropButton, QObject* parent = nullptr);
    ~CropSelection() override;

    // Arms the crop for exactly one selection: crosshair on the image, Crop button pressed.
    void StartCropMode();
    bool CropMode() const { return cropMode_; }
    bool Dragging() const;

    const RubberBand& band() const { return *band_; }

signals:
    // The cropped picture; the viewer shows it at the viewport's top-left corner.
    void cropped(const forms::Picture& picture);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Picture2_MouseDown(const QMouseEvent& event);
    void Picture2_MouseMove(const QMouseEvent& event);
    void Picture2_MouseUp();

    forms::PictureBox& picture2_;
    QAction& cropButton_;
    std::unique_ptr<RubberBand> band_;
    bool cropMode_ = false;
    // A release completes the crop only after a press made while armed.
    bool pressed_ = false;
};

} // namespace capture
