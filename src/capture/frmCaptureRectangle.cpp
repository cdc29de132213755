#include "capture/frmCaptureRectangle.h"

#include "forms/FormInstance.h"

namespace capture {

// Placeholder until the overlay lands: closes at once without a selection.
frmCaptureRectangle::frmCaptureRectangle() = default;

frmCaptureRectangle& frmCaptureRectangle::instance()
{
    static forms::FormInstance<frmCaptureRectangle> form;
    return form.get();
}

void frmCaptureRectangle::ShowPicture(const forms::Picture&)
{
    emit closed();
    close();
}

} // namespace capture
