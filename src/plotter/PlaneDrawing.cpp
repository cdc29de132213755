#include "plotter/PlaneDrawing.h"

#include "forms/DrawingSurface.h"

#include <array>

namespace plotter {
namespace {

struct Stroke {
    QPointF from;
    QPointF to;
};

// The axes first, then the arrow heads at their four ends.
constexpr std::array<Stroke, 10> kAxes {{
    {{0, 450}, {1200, 450}},
    {{150, 0}, {150, 600}},
    {{140, 10}, {150, 0}},
    {{150, 0}, {160, 10}},
    {{10, 440}, {0, 450}},
    {{0, 450}, {10, 460}},
    {{140, 590}, {150, 600}},
    {{150, 600}, {160, 590}},
    {{1190, 440}, {1200, 450}},
    {{1200, 450}, {1190, 460}},
}};

struct Label {
    const char* text;
    double x;
    double y;
};

constexpr std::array<Label, 5> kLabels {{
    {"x", 1193, 455},
    {"y", 155, 7},
    {"0", 142, 450},
    {"1", 172, 450},
    {"1", 142, 420},
}};

} // namespace

void DrawPlane(forms::DrawingSurface& surface)
{
    surface.setDrawWidth(1);

    // Both kinds of line run to 1200: the horizontal ones below 600 fall under the
    // control strip.
    const QColor grid(128, 128, 128);
    for (int a = 0; a <= 1200; a += 30) {
        surface.Line(QPointF(0, a), QPointF(1200, a), grid);
        surface.Line(QPointF(a, 0), QPointF(a, 600), grid);
    }

    for (const Stroke& stroke : kAxes)
        surface.Line(stroke.from, stroke.to, Qt::black);

    for (const Label& label : kLabels) {
        surface.setCurrentX(label.x);
        surface.setCurrentY(label.y);
        surface.Print(QString::fromLatin1(label.text));
    }
}

} // namespace plotter
