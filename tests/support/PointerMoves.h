#pragma once

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

// Moves the pointer over a widget and waits until the move has been delivered. With no
// button held, QTest moves the real pointer: the X server sends the motion back later,
// so whatever is compared right after QTest::mouseMove may not have seen it yet.
inline bool MovePointer(QWidget& widget, QPoint at)
{
    const QPoint global = widget.mapToGlobal(at);
    if (QCursor::pos(widget.screen()) == global)
        return true; // no motion comes for a pointer that does not move

    class Watch : public QObject {
    public:
        explicit Watch(QPoint target)
            : target_(target)
        {
            qApp->installEventFilter(this);
        }
        bool arrived = false;

    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::MouseMove
                && static_cast<QMouseEvent*>(event)->globalPosition().toPoint() == target_)
                arrived = true;
            return false;
        }

    private:
        QPoint target_;
    } watch(global);
    QTest::mouseMove(&widget, at);
    return QTest::qWaitFor([&] { return watch.arrived; });
}
