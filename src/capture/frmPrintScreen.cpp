#include "capture/frmPrintScreen.h"

#include "forms/FormInstance.h"

namespace capture {

// Placeholder until printing lands.
frmPrintScreen::frmPrintScreen() = default;

frmPrintScreen& frmPrintScreen::instance()
{
    static forms::FormInstance<frmPrintScreen> form;
    return form.get();
}

void frmPrintScreen::PrintBitmap(const forms::Picture&)
{
    close();
}

} // namespace capture
