#pragma once

// Helpers shared by the viewer's tests: real modal dialogs answered from a timer.

#include "forms/NoStoredSettings.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace viewertest {

// Waits (in the event loop) for a modal widget of type Dialog and hands it to answer.
// Call before the command that opens the dialog; the command's own loop runs the timer.
// The watch ends when the returned timer goes out of scope.
template <class Dialog>
[[nodiscard]] std::unique_ptr<QTimer> whenModal(std::function<void(Dialog*)> answer)
{
    auto timer = std::make_unique<QTimer>();
    QTimer* raw = timer.get();
    QObject::connect(raw, &QTimer::timeout, raw, [raw, answer] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            raw->stop();
            answer(dialog);
        }
    });
    raw->start(20);
    return timer;
}

// What a message box said; filled in when it is answered.
struct BoxSeen {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    std::unique_ptr<QTimer> watch;
};

// Answers the next message box with OK and records it.
inline std::shared_ptr<BoxSeen> expectMessageBox()
{
    auto seen = std::make_shared<BoxSeen>();
    BoxSeen* raw = seen.get();
    raw->watch = whenModal<QMessageBox>([raw](QMessageBox* box) {
        BoxSeen* seen = raw;
        seen->shown = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        box->accept();
    });
    return seen;
}

// Types the full path into the dialog's name box, as a user can, and confirms.
inline void choose(QFileDialog* dialog, const QString& path)
{
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(path);
    else
        dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
}

} // namespace viewertest

// As the program does at start: Qt's own dialogs store nothing.
inline void storeNoSettingsAtStart()
{
    forms::StoreNoSettings();
}
Q_COREAPP_STARTUP_FUNCTION(storeNoSettingsAtStart)
