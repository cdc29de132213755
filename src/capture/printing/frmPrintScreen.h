#pragma once

#include "forms/FormInstance.h"
#include "forms/Picture.h"

#include <QWidget>

namespace capture {

// A print window that is never shown: it prints a picture as one page on the default
// printer, at the page's top-left corner at screen scale, and unloads itself afterwards.
class frmPrintScreen : public QWidget, public forms::SingleInstance<frmPrintScreen> {
    Q_OBJECT
public:
    // Holds picBitmap for one print and unloads the form. When nothing could be printed, an
    // information message names the cause.
    void PrintBitmap(const forms::Picture& picBitmap);

    // The form's background picture (null while none is set).
    const forms::Picture& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    frmPrintScreen();
    template <class> friend class forms::FormInstance;

    forms::Picture picture_;
};

} // namespace capture
