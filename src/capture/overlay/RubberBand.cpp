#include "capture/overlay/RubberBand.h"

#include "capture/overlay/BandGeometry.h"
#include "forms/PictureBox.h"

#include <QMouseEvent>

#include <cmath>

namespace capture {

QPointF PrecisePosition(const QMouseEvent& event, const QWidget& receiver)
{
    // The scene position is the window-relative one, straight from the window system.
    // Events made up in code may carry the local position there instead: then the rounded
    // position is all there is.
    const QPoint offset = receiver.mapTo(receiver.window(), QPoint(0, 0));
    const QPointF precise = event.scenePosition() - QPointF(offset);
    const QPointF rounded = event.position();
    if (std::abs(precise.x() - rounded.x()) <= 0.5 && std::abs(precise.y() - rounded.y()) <= 0.5)
        return precise;
    return rounded;
}

RubberBand::RubberBand(forms::PictureBox& host)
    : host_(&host)
    , lines_ {forms::LineControl(host), forms::LineControl(host), forms::LineControl(host),
              forms::LineControl(host)}
{
    for (forms::LineControl& line : lines_) {
        line.setBorderStyle(Qt::DotLine);
        host.addLine(line);
    }
}

RubberBand::~RubberBand()
{
    // The box may outlive the band; it must not paint lines that are gone.
    if (host_) {
        for (forms::LineControl& line : lines_)
            host_->removeLine(line);
    }
}

qreal RubberBand::ratio() const
{
    return host_ ? host_->pixelRatio() : 1.0;
}

void RubberBand::press(QPointF pos, Qt::MouseButton button)
{
    dragging_ = button == Qt::LeftButton;
    anchor_ = SnapToPixel(pos, ratio());
    place(anchor_, anchor_);
    for (forms::LineControl& line : lines_)
        line.setVisible(true);
}

void RubberBand::move(QPointF pos)
{
    if (dragging_)
        place(anchor_, SnapToPixel(pos, ratio()));
}

void RubberBand::hide()
{
    for (forms::LineControl& line : lines_)
        line.setVisible(false);
}

bool RubberBand::isPoint() const
{
    return lines_[0].line().p1() == lines_[0].line().p2()
           && lines_[1].line().p1() == lines_[1].line().p2();
}

QRect RubberBand::bounds() const
{
    return BandBounds(lines_[0].line(), lines_[1].line(), ratio());
}

void RubberBand::place(QPointF anchor, QPointF pointer)
{
    const std::array<QLineF, 4> sides = BandLines(anchor, pointer);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        lines_[i].setLine(sides[i]);
}

} // namespace capture
