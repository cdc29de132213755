#pragma once

#include "PointerMoves.h"

#include "plotter/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace testsupport {

// Keys go to a window once the application takes it as active. With no window manager
// nothing hands the focus back when a modal window closes: the test does.
inline void Activate(QWidget& window)
{
    window.activateWindow();
    if (!QTest::qWaitFor([&window] { return QApplication::activeWindow() == &window; }))
        qFatal("%s never became active", qPrintable(window.objectName()));
}

// A freshly loaded main window, shown and active, with these clicks on its plane at the
// snap of the option button named (the default one when empty).
inline plotter::frmMain& FreshMainWindow(const QList<QPoint>& clicks = {},
                                         const QString& snap = QString())
{
    plotter::frmMain::instance().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    plotter::frmMain& window = plotter::frmMain::instance();
    window.Show();
    Activate(window);
    if (!snap.isEmpty())
        window.findChild<QAbstractButton*>(snap)->setChecked(true);
    for (const QPoint& at : clicks) {
        if (!MovePointer(window, at))
            qFatal("the pointer never reached the plane");
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
    }
    return window;
}

// Keys as the user types them, to the control with the focus (none: the window).
inline void Type(QWidget& window, const QList<QKeyCombination>& keys)
{
    Activate(window);
    for (const QKeyCombination key : keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, key.key(), key.keyboardModifiers());
    }
}

} // namespace testsupport
