#include "forms/FormInstance.h"

#include "forms/FrameMargins.h"

#include <QScreen>

namespace forms {

namespace {

// Gives form another owner (none: an ordinary window) and window type, keeping its
// geometry and unload-on-close.
void reparent(QWidget& form, QWidget* owner, Qt::WindowType type)
{
    const bool deleteOnClose = form.testAttribute(Qt::WA_DeleteOnClose);
    const bool moved = form.testAttribute(Qt::WA_Moved);
    const QRect geometry = form.geometry();
    form.setParent(owner, (form.windowFlags() & ~Qt::WindowType_Mask) | type);
    form.setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
    if (moved)
        form.setGeometry(geometry);
}

} // namespace

void ShowModal(QWidget& form, QWidget& owner)
{
    // A dialog is what window managers keep above its owner (WM_TRANSIENT_FOR) and
    // minimise with it, so a modal window can never be hidden away from the window it blocks.
    // It stays one when it is shown modelessly later.
    if (form.windowType() != Qt::Dialog || form.parentWidget() != &owner) {
        form.hide();
        reparent(form, &owner, Qt::Dialog);
    }
    if (form.isVisible() && form.windowModality() != Qt::ApplicationModal)
        form.hide(); // modality takes effect only when a window is shown
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    form.raise();
    form.activateWindow();
}

void ShowModeless(QWidget& form)
{
    if (form.windowModality() != Qt::NonModal) {
        form.hide();
        form.setWindowModality(Qt::NonModal);
    }
    // No longer a dialog that window managers keep above its owner.
    if (form.parentWidget() || form.windowType() != Qt::Window) {
        form.hide();
        reparent(form, nullptr, Qt::Window);
    }
    form.show();
    form.raise();
    form.activateWindow();
}

void Unload(QWidget& form)
{
    form.close();
}

void CentreOnScreen(QWidget& form, const QScreen* on)
{
    const QScreen* screen = on ? on : form.screen();
    if (!screen)
        return;
    form.winId(); // the frame is asked for on behalf of the native window
    QMargins frame = QMargins(form.geometry().left() - form.frameGeometry().left(),
                              form.geometry().top() - form.frameGeometry().top(),
                              form.frameGeometry().right() - form.geometry().right(),
                              form.frameGeometry().bottom() - form.geometry().bottom());
    // Before its first showing a window's frame is not known yet: ask for the one it will get,
    // so it is shown centred rather than moved once framed.
    if (frame.isNull())
        frame = ExpectedFrameMargins(form).value_or(QMargins());
    QRect outer = QRect(QPoint(), form.size()).marginsAdded(frame);
    outer.moveCenter(screen->availableGeometry().center());
    form.setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), form.size()));
}

} // namespace forms
