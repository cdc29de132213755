#include "forms/MsgBox.h"

#include <QApplication>
#include <QMessageBox>

namespace forms {

void MsgBox(const QString& prompt, int flags, const QString& title)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox box(owner);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowTitle(title.isEmpty() ? kAppTitle : title);
    box.setText(prompt);
    box.setIcon((flags & vbInformation) ? QMessageBox::Information : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace forms
