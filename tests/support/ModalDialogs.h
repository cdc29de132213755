#pragma once

// Real modal dialogs answered from a timer: message boxes and file dialogs, found as the
// active modal widget while the command that opened them runs its own loop.

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace testsupport {

// Watches for modal widgets of type Dialog and hands each one to answer (only the first
// when once). Call before the command that opens the dialog. The watch ends when the
// returned timer goes out of scope.
template <class Dialog>
[[nodiscard]] std::unique_ptr<QTimer> whenModal(std::function<void(Dialog*)> answer,
                                                bool once = true)
{
    auto timer = std::make_unique<QTimer>();
    QTimer* raw = timer.get();
    QObject::connect(raw, &QTimer::timeout, raw, [raw, answer, once] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        if (once)
            raw->stop();
        answer(dialog);
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
    QMessageBox::StandardButtons buttons;
    std::unique_ptr<QTimer> watch;
};

inline void answerWithOk(QMessageBox* box)
{
    if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->accept();
}

// Answers the next message box with OK and records it.
inline std::shared_ptr<BoxSeen> expectMessageBox()
{
    auto seen = std::make_shared<BoxSeen>();
    BoxSeen* raw = seen.get();
    raw->watch = whenModal<QMessageBox>([raw](QMessageBox* box) {
        raw->shown = true;
        raw->title = box->windowTitle();
        raw->text = box->text();
        raw->icon = box->icon();
        raw->buttons = box->standardButtons();
        answerWithOk(box);
    });
    return seen;
}

// What a message box showed before it was answered.
struct SeenMessageBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Runs action and answers every message box it opens, reading each one first. When the
// action only starts something (a key press that clicks a button a moment later), it keeps
// the event loop running until `awaited` boxes were seen or five seconds passed.
inline std::vector<SeenMessageBox> catchMessageBoxes(const std::function<void()>& action,
                                                     std::size_t awaited = 0)
{
    std::vector<SeenMessageBox> seen;
    const auto watch = whenModal<QMessageBox>(
        [&seen](QMessageBox* box) {
            seen.push_back({box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
            answerWithOk(box);
        },
        false);
    action();
    QDeadlineTimer deadline(5000);
    while (seen.size() < awaited && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return seen;
}

// Types the full path into a file dialog's name box, as a user can, and confirms.
inline void choose(QFileDialog* dialog, const QString& path)
{
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(path);
    else
        dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
}

} // namespace testsupport
