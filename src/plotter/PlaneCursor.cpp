#include "plotter/PlaneCursor.h"

#include "plotter/GridSnap.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace plotter {
namespace {

constexpr float kPlaneRight = 1200.0f;
constexpr float kPlaneBottom = 600.0f;

// Arms of 6 pixels, 2 thick, in a colour nothing else on the plane uses, on a white edge so
// it shows over the axes and the polygon alike.
constexpr qreal kArm = 6;
constexpr qreal kHalfThickness = 1;
constexpr qreal kEdge = 1;
const QColor kCrossColour(0, 128, 0);

void drawCross(QPainter& painter, QPointF at, qreal arm, qreal half, const QColor& colour)
{
    painter.fillRect(QRectF(at.x() - arm, at.y() - half, 2 * arm, 2 * half), colour);
    painter.fillRect(QRectF(at.x() - half, at.y() - arm, 2 * half, 2 * arm), colour);
}

} // namespace

QPointF StepCursor(QPointF from, int dx, int dy, float step, float spacing)
{
    float x = static_cast<float>(from.x()) + static_cast<float>(dx) * step;
    float y = static_cast<float>(from.y()) + static_cast<float>(dy) * step;
    AlignToGrid(x, y, spacing);
    // The plane's edges lie on every grid, so clamping keeps the point on it.
    return QPointF(std::clamp(x, 0.0f, kPlaneRight), std::clamp(y, 0.0f, kPlaneBottom));
}

PlaneCursor::PlaneCursor(QWidget& host)
    : host_(host)
{
}

void PlaneCursor::moveTo(QPointF at)
{
    if (at == at_)
        return;
    const QRegion before = region();
    at_ = at;
    changed(before);
}

void PlaneCursor::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    const QRegion before = region();
    visible_ = visible;
    changed(before);
}

void PlaneCursor::paint(QPainter& painter) const
{
    if (!visible_)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawCross(painter, at_, kArm + kEdge, kHalfThickness + kEdge, Qt::white);
    drawCross(painter, at_, kArm, kHalfThickness, kCrossColour);
    painter.restore();
}

QRegion PlaneCursor::region() const
{
    if (!visible_)
        return QRegion();
    const qreal reach = kArm + kEdge;
    // A pixel more all round for the rounding of unaligned edges at any device pixel ratio.
    return QRectF(at_.x() - reach, at_.y() - reach, 2 * reach, 2 * reach)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

void PlaneCursor::changed(const QRegion& before)
{
    const QRegion dirty = before + region();
    if (!dirty.isEmpty())
        host_.update(dirty);
}

} // namespace plotter
