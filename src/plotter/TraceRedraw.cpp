#include "plotter/TraceRedraw.h"

#include "forms/DrawingSurface.h"
#include "forms/LineControl.h"
#include "plotter/PlaneDrawing.h"
#include "plotter/TraceStyle.h"

#include <QLineF>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace plotter {
namespace {

constexpr int kTraceWidth = 2;
// How far a stroke can colour beyond its centre line (half the pen, the square cap, and
// a pixel for rounding).
constexpr int kReach = kTraceWidth + 1;
// The length of edge one strip of the area to rebuild covers.
constexpr double kPiece = 24.0;

QPointF at(const Vertex& vertex)
{
    return QPointF(vertex.X, vertex.Y);
}

QRect strokeBounds(QPointF from, QPointF to)
{
    return QRectF(from, to).normalized().toAlignedRect().adjusted(-kReach, -kReach, kReach, kReach);
}

// The part of the drawing to rebuild: everything a stroke (or a dot, when its ends meet)
// can colour, as short strips along it rather than its bounding box, so a long diagonal
// leaves most of the plane alone.
class StrokeArea {
public:
    StrokeArea(QPointF from, QPointF to)
    {
        const int pieces
            = std::max(1, static_cast<int>(std::ceil(QLineF(from, to).length() / kPiece)));
        for (int i = 0; i < pieces; ++i) {
            const QRect strip = strokeBounds(from + (to - from) * (double(i) / pieces),
                                             from + (to - from) * (double(i + 1) / pieces));
            region_ += strip;
            // A stroke colours the strip when its centre line comes within reach of it.
            reached_.push_back(QRectF(strip).adjusted(-kReach, -kReach, kReach, kReach));
            bounds_ = bounds_.united(reached_.back());
        }
    }

    const QRegion& region() const { return region_; }

    bool reachedBy(QPointF from, QPointF to) const
    {
        if (std::max(from.x(), to.x()) < bounds_.left()
            || std::min(from.x(), to.x()) > bounds_.right()
            || std::max(from.y(), to.y()) < bounds_.top()
            || std::min(from.y(), to.y()) > bounds_.bottom())
            return false;
        return std::any_of(reached_.begin(), reached_.end(),
                           [&](const QRectF& box) { return crosses(from, to, box); });
    }

private:
    // Whether the segment passes through the box (Liang-Barsky).
    static bool crosses(QPointF from, QPointF to, const QRectF& box)
    {
        const QPointF d = to - from;
        double enter = 0, leave = 1;
        const auto clip = [&](double p, double q) {
            if (p == 0)
                return q >= 0;
            const double t = q / p;
            if (p < 0)
                enter = std::max(enter, t);
            else
                leave = std::min(leave, t);
            return enter <= leave;
        };
        return clip(-d.x(), from.x() - box.left()) && clip(d.x(), box.right() - from.x())
               && clip(-d.y(), from.y() - box.top()) && clip(d.y(), box.bottom() - from.y());
    }

    QRegion region_;
    std::vector<QRectF> reached_;
    QRectF bounds_;
};

} // namespace

void DrawTrace(forms::DrawingSurface& surface, std::span<const Vertex> vertices)
{
    surface.setDrawWidth(kTraceWidth);
    if (vertices.empty())
        return;
    surface.PSet(at(vertices.front()), kVertexRed);
    for (std::size_t i = 1; i < vertices.size(); ++i)
        surface.Line(at(vertices[i - 1]), at(vertices[i]), kVertexRed);
}

bool TakeBackVertex(forms::DrawingSurface& surface, std::vector<Vertex>& vertices)
{
    if (vertices.empty())
        return false;
    const QPointF last = at(vertices.back());
    const QPointF previous = vertices.size() > 1 ? at(vertices[vertices.size() - 2]) : last;
    vertices.pop_back();
    const StrokeArea area(previous, last);

    // A fresh plane in the area, then every remaining stroke that reaches into it, drawn
    // whole: a clipped wide stroke can come out a pixel different from the stroke itself,
    // while a whole one lands exactly on its own pixels outside the area (the polygon is
    // one opaque colour, above everything else), so only the area changes.
    forms::DrawingSurface::Batch batch(surface, area.region());
    surface.setDrawClip(area.region());
    surface.Cls();
    DrawPlane(surface);
    surface.setDrawClip(QRegion());
    surface.setDrawWidth(kTraceWidth);
    if (!vertices.empty() && area.reachedBy(at(vertices.front()), at(vertices.front())))
        surface.PSet(at(vertices.front()), kVertexRed);
    for (std::size_t i = 1; i < vertices.size(); ++i) {
        if (area.reachedBy(at(vertices[i - 1]), at(vertices[i])))
            surface.Line(at(vertices[i - 1]), at(vertices[i]), kVertexRed);
    }
    return true;
}

void AimBand(forms::LineControl& band, std::span<const Vertex> vertices)
{
    if (vertices.empty()) {
        band.setVisible(false);
        return;
    }
    if (!band.isVisible())
        return; // the pointer has not been over the plane since the last press
    const QPointF end(band.X2(), band.Y2());
    const bool onFirst = vertices.size() >= 3 && end == at(vertices.front());
    // One change of the band, so only its old and new strips repaint.
    band.setVisible(false);
    band.setBorderColor(onFirst ? kBandOnFirst : kBandNormal);
    band.setLine(QLineF(at(vertices.back()), end));
    band.setVisible(true);
}

} // namespace plotter
