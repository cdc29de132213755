#include "vertices/Module.h"

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <cstdlib>

namespace plotter {
namespace {

// Drawing coordinates become integers in units of 2^-44 drawing units. Every float the
// plane produces is exact in these units, and where a self-crossing outline needs its
// intersection points rounded, the error stays far below the 10 decimals we report.
constexpr double kFixedScale = 17592186044416.0; // 2^44

ClipperLib::cInt toFixed(float coordinate)
{
    return static_cast<ClipperLib::cInt>(
        std::llround(static_cast<double>(coordinate) * kFixedScale));
}

// Twice the signed area of a closed path, exact in 128-bit integers.
__int128 twiceSignedArea(const ClipperLib::Path& path)
{
    __int128 sum = 0;
    for (std::size_t i = 0, n = path.size(); i < n; ++i) {
        const ClipperLib::IntPoint& a = path[i];
        const ClipperLib::IntPoint& b = path[(i + 1) % n];
        sum += static_cast<__int128>(a.X) * b.Y - static_cast<__int128>(b.X) * a.Y;
    }
    return sum;
}

} // namespace

std::vector<Vertex>& VertexList()
{
    static std::vector<Vertex> vertices;
    return vertices;
}

double ComputeArea(std::span<const Vertex> polygon, int Scale)
{
    if (polygon.size() < 3 || Scale == 0)
        return 0.0;

    ClipperLib::Path outline;
    outline.reserve(polygon.size());
    for (const Vertex& v : polygon)
        outline.emplace_back(toFixed(v.X), toFixed(v.Y));

    // The region the outline winds around at least once: a union under the non-zero rule
    // splits a self-crossing outline into its lobes and drops collinear spikes.
    ClipperLib::Paths region;
    ClipperLib::Clipper clipper;
    clipper.AddPath(outline, ClipperLib::ptSubject, true);
    clipper.Execute(ClipperLib::ctUnion, region, ClipperLib::pftNonZero, ClipperLib::pftNonZero);

    __int128 twice = 0; // outer rings and holes have opposite orientation
    for (const ClipperLib::Path& ring : region)
        twice += twiceSignedArea(ring);
    if (twice < 0)
        twice = -twice;

    const long double unit = static_cast<long double>(kFixedScale) * Scale;
    const long double area = static_cast<long double>(twice) / 2.0L / (unit * unit);
    return static_cast<double>(std::nearbyint(area * 1e10L) / 1e10L);
}

double ComputeArea(int Scale)
{
    return ComputeArea(VertexList(), Scale);
}

} // namespace plotter
