#pragma once

#include <QPointF>
#include <QRegion>

class QPainter;
class QWidget;

namespace plotter {

// Where the keyboard cursor lands from `from` after dx and dy steps of `step` drawing units
// (y growing downwards): on the grid of `spacing`, where a press there would snap, and never
// off the plane (x 0 to 1200, y 0 to 600).
QPointF StepCursor(QPointF from, int dx, int dy, float step, float spacing);

// The keyboard cursor: a small cross its host paints above its retained image, never into
// it. A change repaints only the cross's old and new bounds.
class PlaneCursor {
public:
    explicit PlaneCursor(QWidget& host);

    QPointF position() const { return at_; }
    void moveTo(QPointF at);
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // Draws the cross if visible; the host calls this from its paintEvent.
    void paint(QPainter& painter) const;
    // What the cross covers when shown (empty when hidden).
    QRegion region() const;

private:
    void changed(const QRegion& before);

    QWidget& host_;
    QPointF at_;
    bool visible_ = false;
};

} // namespace plotter
