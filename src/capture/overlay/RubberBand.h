#pragma once

#include "forms/LineControl.h"

#include <QPointF>
#include <QPointer>
#include <QRect>

#include <array>

class QMouseEvent;
class QWidget;

namespace forms {
class PictureBox;
}

namespace capture {

// The event's position in receiver's logical coordinates without losing fractions: widget
// delivery rounds position() to whole logical pixels, which at a device pixel ratio above
// 1 would move the band off the device pixel under the pointer.
QPointF PrecisePosition(const QMouseEvent& event, const QWidget& receiver);

// The rubber band shared by the rectangle overlay and the crop: four dotted lines Line1 to
// Line4 drawn by a picture box above its picture, and the anchor they start from. Positions
// are the box's logical coordinates; the selected rectangle comes out in picture pixels.
class RubberBand {
public:
    explicit RubberBand(forms::PictureBox& host);
    ~RubberBand();
    RubberBand(const RubberBand&) = delete;
    RubberBand& operator=(const RubberBand&) = delete;

    // Any button re-anchors the band at pos and shows it as a point; only the left
    // button starts a drag.
    void press(QPointF pos, Qt::MouseButton button);
    // While dragging, stretches the band from the anchor to pos.
    void move(QPointF pos);
    void endDrag() { dragging_ = false; }
    void hide();

    bool dragging() const { return dragging_; }
    bool isVisible() const { return lines_[0].isVisible(); }
    QPointF anchor() const { return anchor_; }
    // True while the band is a single point (no drag has moved its far corner).
    bool isPoint() const;

    // The selected rectangle in picture pixels, spanned by Line1 and Line2.
    QRect bounds() const;

    // Line1 to Line4 by number.
    const forms::LineControl& line(int number) const { return lines_.at(number - 1); }

private:
    void place(QPointF anchor, QPointF pointer);
    qreal ratio() const;

    QPointer<forms::PictureBox> host_;
    std::array<forms::LineControl, 4> lines_;
    QPointF anchor_;
    bool dragging_ = false;
};

} // namespace capture
