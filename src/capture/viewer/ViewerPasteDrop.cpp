// Pictures into and out of the viewer without its menus: a file dropped on the window,
// Ctrl+V and Ctrl+C.
#include "capture/viewer/frmScreenCapture.h"

#include "forms/MsgBox.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

namespace capture {
namespace {

// The first local file among the dragged URLs, or empty.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return QString();
}

} // namespace

void frmScreenCapture::addPasteAndDrop()
{
    setAcceptDrops(true);
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

void frmScreenCapture::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmScreenCapture::dragMoveEvent(QDragMoveEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmScreenCapture::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drag source waits for the drop to finish: open once it has, so a message box
    // about the file does not hold the file manager's drag.
    QMetaObject::invokeMethod(
        this, [this, path] { openPath(path); }, Qt::QueuedConnection);
}

} // namespace capture
