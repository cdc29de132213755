#include "forms/FormInstance.h"

#include <QScreen>

namespace forms {

void ShowModal(QWidget& form, QWidget& owner)
{
    if (form.parentWidget() != &owner) {
        const bool deleteOnClose = form.testAttribute(Qt::WA_DeleteOnClose);
        form.setParent(&owner, form.windowFlags() | Qt::Window);
        form.setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
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
    QRect frame = form.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    form.move(frame.topLeft());
}

} // namespace forms
