#pragma once

#include "forms/Picture.h"

#include "forms/FormInstance.h"

#include <QWidget>

namespace capture {

// Borderless window over the whole screen showing a frozen snapshot of it, on which the
// user drags the rectangle to capture.
class frmCaptureRectangle : public QWidget {
    Q_OBJECT
public:
    static frmCaptureRectangle& instance();

    // Covers the screen with the snapshot and returns at once; the selection happens in
    // the window's own event handlers.
    void ShowPicture(const forms::Picture& picBitmap);

signals:
    // The rectangle the user selected, copied out of the snapshot.
    void selected(const forms::Picture& picture);
    // The overlay has closed, with or without a selection; the viewer shows itself again.
    void closed();

private:
    frmCaptureRectangle();
    template <class> friend class forms::FormInstance;
};

} // namespace capture
