#include "capture/printing/frmPrintScreen.h"

#include "capture/printing/PicturePrinting.h"
#include "forms/MsgBox.h"
#include "forms/Twips.h"

#include <QPaintEvent>
#include <QPainter>

namespace capture {
namespace {

const QString kCannotPrintTitle = QStringLiteral("Cannot Print");

} // namespace

frmPrintScreen::frmPrintScreen()
{
    setObjectName(QStringLiteral("frmPrintScreen"));
    setWindowTitle(QStringLiteral("Form1"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    resize(forms::TwipsToPixelsX(4680), forms::TwipsToPixelsY(3195));
}

void frmPrintScreen::PrintBitmap(const forms::Picture& picBitmap)
{
    hide();
    // Room for the whole screen, so a full-screen capture fits the form as it did on screen.
    resize(forms::TwipsToPixelsX(forms::ScreenWidthTwips() + 150),
           forms::TwipsToPixelsY(forms::ScreenHeightTwips() + 300));
    picture_ = picBitmap;

    if (forms::HasPicture(picture_)) {
        if (const auto cause = PrintOnDefaultPrinter(picture_, forms::kAppTitle))
            forms::MsgBox(*cause, forms::vbInformation, kCannotPrintTitle);
    }

    // Unloaded after every print, failed or not, so the next one starts from the design and
    // the picture is released.
    picture_ = forms::Picture();
    forms::Unload(*this);
}

void frmPrintScreen::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (forms::HasPicture(picture_))
        painter.drawImage(QPointF(0, 0), picture_);
}

} // namespace capture
