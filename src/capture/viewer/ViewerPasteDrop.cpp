// Pictures into and out of the viewer without its menus: a file dropped on the window,
// Ctrl+V and Ctrl+C.
#include "capture/viewer/frmScreenCapture.h"

#include "forms/FileDrops.h"
#include "forms/MsgBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QShortcut>

namespace capture {

void frmScreenCapture::addPasteAndDrop()
{
    forms::AcceptFileDrops(*this, [this](const QString& path) { openPath(path); });
    // Shortcuts of the window, not menu entries: the menus stay as designed.
    auto* paste = new QShortcut(this);
    paste->setObjectName(QStringLiteral("pasteImage"));
    paste->setKeys(QKeySequence::Paste);
    connect(paste, &QShortcut::activated, this, &frmScreenCapture::pasteImage);

    auto* copy = new QShortcut(this);
    copy->setObjectName(QStringLiteral("copyImage"));
    copy->setKeys(QKeySequence::Copy);
    connect(copy, &QShortcut::activated, this, &frmScreenCapture::mnuCopy_Click);
}

void frmScreenCapture::pasteImage()
{
    // Any program's image/png or image/bmp (whatever Qt can decode) arrives as an image.
    forms::Picture pasted = QGuiApplication::clipboard()->image();
    if (pasted.isNull()) {
        forms::MsgBox(tr("There is no picture on the clipboard to paste."), forms::vbInformation);
        return;
    }
    // One image pixel per device pixel, like a capture.
    pasted.setDevicePixelRatio(devicePixelRatioF());
    setPicture(forms::Picture());
    setPicture(pasted);
    SetupScrollBars();
}

} // namespace capture
