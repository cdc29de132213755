// The viewer's file, clipboard and print commands.
#include "capture/viewer/frmScreenCapture.h"

#include "capture/printing/frmPrintScreen.h"
#include "forms/DoEvents.h"
#include "forms/ImageFiles.h"
#include "forms/MsgBox.h"
#include "forms/PictureBox.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>

namespace capture {
namespace {

// The folder the open and save dialogs start in.
#ifdef Q_OS_WIN
QString openFolder()
{
    return QStringLiteral("c:\\aaaaaa");
}
#else
QString openFolder()
{
    return QDir::home().filePath(QStringLiteral("aaaaaa"));
}
#endif

QString fileFailure(const QString& what, const QString& path, const QString& cause)
{
    return QObject::tr("%1 \"%2\".\n\n%3").arg(what, QDir::toNativeSeparators(path), cause);
}

// The viewer's file dialog hands over whatever file name the user gives. Qt's own dialog
// refuses a name it cannot find with "File not found" (a loop of links, a name too long,
// a name that is not UTF-8, which Qt cannot spell) or ignores it; the command then says
// the real cause, or opens the file by its real name. A folder is still entered.
class FileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QString path = selectedFiles().value(0);
        if (!path.isEmpty() && !QFileInfo(path).isDir()) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

// Runs one of the viewer's file dialogs (named CD1, as in the design): the path the user
// chose, or empty when they cancelled.
QString runFileDialog(QFileDialog& dialog)
{
    dialog.setObjectName(QStringLiteral("CD1"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
} // namespace

void frmScreenCapture::mnuPrint_Click()
{
    if (!forms::HasPicture(picture())) {
        forms::MsgBox(QStringLiteral("Please capture or load an image before printing."),
                      forms::vbInformation, QStringLiteral("Nothing To Print"));
        return;
    }
    frmPrintScreen::instance().PrintBitmap(Picture2_->Image());
}

void frmScreenCapture::mnuExit_Click()
{
    forms::Unload(*this);
}

void frmScreenCapture::mnuOpen_Click()
{
    initDir_ = openFolder();
    FileDialog dialog(this, tr("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("GIF Files (*.gif)"), QStringLiteral("JPEG Files(*.jpg)"),
                           QStringLiteral("Bitmap Files (*.bmp)")});
    // A folder that does not exist leaves the dialog where it opens by default.
    if (QFileInfo(initDir_).isDir())
        dialog.setDirectory(initDir_);
    const QString path = runFileDialog(dialog);
    if (path.isEmpty())
        return;
    openPath(path);
}

void frmScreenCapture::openPath(const QString& path)
{
    forms::LoadedPicture loaded = forms::LoadPicture(path);
    if (!loaded.error.isEmpty()) {
        forms::MsgBox(fileFailure(tr("Cannot open"), path, loaded.error), forms::vbInformation,
                      tr("Open"));
        return;
    }
    // One image pixel per device pixel, like a capture.
    loaded.picture.setDevicePixelRatio(devicePixelRatioF());
    setPicture(forms::Picture());
    setPicture(loaded.picture);
    // The closing dialog may or may not reactivate the window; the bars must follow the
    // new picture either way.
    SetupScrollBars();
}

void frmScreenCapture::mnuSave_Click()
{
    if (!forms::HasPicture(picture())) {
        forms::MsgBox(QStringLiteral("Please capture or load an image before saving."),
                      forms::vbInformation, QStringLiteral("Nothing To Save"));
        return;
    }
    FileDialog dialog(this, tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Bitmap Files (*.bmp)"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!initDir_.isEmpty() && QFileInfo(initDir_).isDir())
        dialog.setDirectory(initDir_);
    const QString path = runFileDialog(dialog);
    if (path.isEmpty())
        return;
    const QString error = forms::SavePicture(Picture2_->Image(), path);
    if (!error.isEmpty())
        forms::MsgBox(fileFailure(tr("Cannot save"), path, error), forms::vbInformation,
                      tr("Save As"));
}

void frmScreenCapture::mnuCopy_Click()
{
    if (!forms::HasPicture(picture())) {
        forms::MsgBox(
            QStringLiteral("Please capture or load an image before copying to clipboard."),
            forms::vbInformation, QStringLiteral("Nothing To Copy"));
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    forms::DoEvents();
    clipboard->setImage(Picture2_->Image());
    forms::DoEvents();
    if (!clipboard->ownsClipboard()) {
        forms::MsgBox(tr("The image could not be put on the clipboard: the system did not make "
                         "this program the clipboard's owner."),
                      forms::vbInformation, QStringLiteral("Copy Image to Clipboard"));
        return;
    }
    forms::MsgBox(QStringLiteral("Image saved to Windows clipboard.  Use Paste or CTL+V in another "
                                 "application, such as Word, to paste image from clipboard."),
                  forms::vbInformation, QStringLiteral("Copy Image to Clipboard"));
}

} // namespace capture
