#include "plotter/TraceRedraw.h"

#include "forms/DrawingSurface.h"
#include "forms/LineControl.h"
#include "plotter/PlaneDrawing.h"
#include "plotter/TraceStyle.h"

#include <QRectF>

namespace plotter {
namespace {

constexpr int kTraceWidth = 2;

QPointF at(const Vertex& vertex)
{
    return QPointF(vertex.X, vertex.Y);
}

// Everything a stroke between two points (or a dot, when they meet) can colour.
QRect strokeBounds(QPointF from, QPointF to)
{
    const int pad = kTraceWidth + 1;
    return QRectF(from, to).normalized().toAlignedRect().adjusted(-pad, -pad, pad, pad);
}

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
    const QRect area = strokeBounds(previous, last);

    // Only the strokes that reach into the area need drawing again; all of them are one
    // opaque colour, so their order does not matter.
    surface.setDrawClip(area);
    surface.Cls();
    DrawPlane(surface);
    surface.setDrawWidth(kTraceWidth);
    if (!vertices.empty() && strokeBounds(at(vertices.front()), at(vertices.front())).intersects(area))
        surface.PSet(at(vertices.front()), kVertexRed);
    for (std::size_t i = 1; i < vertices.size(); ++i) {
        if (strokeBounds(at(vertices[i - 1]), at(vertices[i])).intersects(area))
            surface.Line(at(vertices[i - 1]), at(vertices[i]), kVertexRed);
    }
    surface.setDrawClip(QRect());
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
