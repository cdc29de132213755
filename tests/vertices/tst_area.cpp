#include "vertices/Module.h"

#include <QTest>

#include <vector>

using plotter::Vertex;

namespace {

// Plane units to drawing units: origin at (150, 450), 30 units per cell, y upwards.
Vertex at(double u, double v)
{
    return Vertex {static_cast<float>(150 + 30 * u), static_cast<float>(450 - 30 * v)};
}

using Outline = std::vector<Vertex>;

} // namespace

Q_DECLARE_METATYPE(Outline)

class tst_area : public QObject {
    Q_OBJECT
private slots:
    void enclosedArea_data()
    {
        QTest::addColumn<Outline>("outline");
        QTest::addColumn<double>("area");

        QTest::newRow("unit square") << Outline {at(0, 0), at(1, 0), at(1, 1), at(0, 1)} << 1.0;
        QTest::newRow("3-4 right triangle") << Outline {at(0, 0), at(3, 0), at(3, 4)} << 6.0;
        QTest::newRow("fifths triangle") << Outline {at(0, 0), at(0.2, 0), at(0.2, 0.2)} << 0.02;
        QTest::newRow("quarters") << Outline {at(0, 0), at(0.25, 0), at(0.25, 0.25)} << 0.03125;
        QTest::newRow("convex counter-clockwise")
            << Outline {at(0, 0), at(4, 0), at(5, 2), at(2, 4), at(-1, 2)} << 16.0;
        QTest::newRow("convex clockwise")
            << Outline {at(-1, 2), at(2, 4), at(5, 2), at(4, 0), at(0, 0)} << 16.0;
        QTest::newRow("concave arrow")
            << Outline {at(0, 0), at(4, 0), at(4, 4), at(2, 1), at(0, 4)} << 10.0;
        QTest::newRow("concave arrow from its notch")
            << Outline {at(2, 1), at(0, 4), at(0, 0), at(4, 0), at(4, 4)} << 10.0;
        QTest::newRow("bow-tie counts each lobe once")
            << Outline {at(0, 0), at(2, 2), at(2, 0), at(0, 2)} << 2.0;
        QTest::newRow("lopsided bow-tie")
            << Outline {at(0, 0), at(3, 2), at(3, 0), at(0, 1)} << 2.5;
        QTest::newRow("square traced twice") << Outline {at(0, 0), at(2, 0), at(2, 2), at(0, 2),
                                                         at(0, 0), at(2, 0), at(2, 2), at(0, 2)}
                                             << 4.0;
        QTest::newRow("pentagram centre counts once")
            << Outline {at(0, 0), at(2, 6), at(4, 0), at(-1, 4), at(5, 4)} << 12.2385964912;
        QTest::newRow("third vertex back on the first")
            << Outline {at(1, 1), at(3, 2), at(1, 1)} << 0.0;
        QTest::newRow("collinear") << Outline {at(0, 0), at(1, 0), at(3, 0)} << 0.0;
        QTest::newRow("repeated and collinear vertices add nothing")
            << Outline {at(0, 0), at(0, 0), at(1, 0), at(2, 0), at(2, 0), at(2, 1), at(0, 1)}
            << 2.0;
        QTest::newRow("spike back along an edge")
            << Outline {at(0, 0), at(3, 0), at(5, 0), at(3, 0), at(3, 3), at(0, 3)} << 9.0;
        QTest::newRow("two vertices") << Outline {at(0, 0), at(3, 4)} << 0.0;
        QTest::newRow("empty") << Outline {} << 0.0;
        QTest::newRow("whole plane")
            << Outline {at(-5, -5), at(35, -5), at(35, 15), at(-5, 15)} << 800.0;
    }

    void enclosedArea()
    {
        QFETCH(Outline, outline);
        QFETCH(double, area);
        QCOMPARE(plotter::ComputeArea(outline, 30), area);
    }

    // The pentagram's value above, checked against an independent estimate: the share of
    // a fine lattice of points that the outline winds around.
    void pentagramMatchesSampling()
    {
        const Outline star {at(0, 0), at(2, 6), at(4, 0), at(-1, 4), at(5, 4)};
        auto winding = [&](double u, double v) {
            int w = 0;
            for (std::size_t i = 0; i < star.size(); ++i) {
                const double x1 = (star[i].X - 150) / 30.0, y1 = (450 - star[i].Y) / 30.0;
                const Vertex& nxt = star[(i + 1) % star.size()];
                const double x2 = (nxt.X - 150) / 30.0, y2 = (450 - nxt.Y) / 30.0;
                const double cross = (x2 - x1) * (v - y1) - (u - x1) * (y2 - y1);
                if (y1 <= v && y2 > v && cross > 0)
                    ++w;
                else if (y1 > v && y2 <= v && cross < 0)
                    --w;
            }
            return w;
        };
        const int steps = 600;
        int inside = 0;
        for (int i = 0; i < steps; ++i)
            for (int j = 0; j < steps; ++j)
                inside += winding(-1 + 6.0 * (i + 0.5) / steps, 6.0 * (j + 0.5) / steps) != 0;
        const double sampled = 36.0 * inside / (steps * steps);
        QVERIFY2(qAbs(sampled - plotter::ComputeArea(star, 30)) < 0.05,
                 qPrintable(QString::number(sampled)));
    }

    void resultIsRoundedToTenDecimals()
    {
        // The pentagram's edges cross at points with long fractions: its area does not
        // terminate, and comes back with exactly ten decimals.
        const Outline star {at(0, 0), at(2, 6), at(4, 0), at(-1, 4), at(5, 4)};
        const double area = plotter::ComputeArea(star, 30);
        QCOMPARE(area, std::nearbyint(area * 1e10) / 1e10);
        QVERIFY(std::nearbyint(area * 1e9) / 1e9 != area);
    }

    void anyNumberOfVertices()
    {
        // 40,000 vertices (beyond a 16-bit count) zig-zagging along the bottom edge of a
        // 10 x 3 rectangle: the zig-zag encloses nothing, the rectangle 30.
        Outline outline;
        for (int i = 0; i < 20000; ++i) {
            outline.push_back(at(0.2 * (i % 50), 0));
            outline.push_back(at(0.2 * (i % 50 + 1), 0));
        }
        outline.push_back(at(10, 0));
        outline.push_back(at(10, 3));
        outline.push_back(at(0, 3));
        QCOMPARE(plotter::ComputeArea(outline, 30), 30.0);
    }

    void readsTheSharedVertexList()
    {
        plotter::VertexList() = {at(0, 0), at(3, 0), at(3, 4)};
        QCOMPARE(plotter::ComputeArea(30), 6.0);
        QCOMPARE(plotter::VertexList().size(), std::size_t(3));
        plotter::VertexList().clear();
        QCOMPARE(plotter::ComputeArea(30), 0.0);
    }
};

QTEST_GUILESS_MAIN(tst_area)
#include "tst_area.moc"
