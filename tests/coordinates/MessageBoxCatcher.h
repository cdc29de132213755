#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <vector>

// What a real modal message box showed before the catcher pressed its OK button.
struct SeenMessageBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Runs action and answers every message box it opens, reading each one first. The boxes
// are the real QMessageBox instances, found as the active modal widget from a timer. When
// the action only starts something (a key press that clicks a button a moment later), it
// keeps the event loop running until `awaited` boxes were seen or five seconds passed.
inline std::vector<SeenMessageBox> catchMessageBoxes(const std::function<void()>& action,
                                                     std::size_t awaited = 0)
{
    std::vector<SeenMessageBox> seen;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.push_back({box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    poll.start();
    action();
    QDeadlineTimer deadline(5000);
    while (seen.size() < awaited && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    poll.stop();
    return seen;
}
