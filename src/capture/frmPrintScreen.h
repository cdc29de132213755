#pragma once

#include "forms/Picture.h"

#include "forms/FormInstance.h"

#include <QWidget>

namespace capture {

// A print window that is never shown: it prints a picture as one page on the default
// printer, at the page's top-left corner at screen scale, and unloads itself afterwards.
class frmPrintScreen : public QWidget {
    Q_OBJECT
public:
    static frmPrintScreen& instance();

    void PrintBitmap(const forms::Picture& picBitmap);

private:
    frmPrintScreen();
    template <class> friend class forms::FormInstance;
};

} // namespace capture
