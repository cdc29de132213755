#include "plotter/GridSnap.h"

#include <QTest>

class tst_gridsnap : public QObject {
    Q_OBJECT
private slots:
    void snap_data()
    {
        QTest::addColumn<float>("coordinate");
        QTest::addColumn<float>("spacing");
        QTest::addColumn<float>("snapped");

        QTest::newRow("tie 2.5 goes down to even") << 75.0f << 30.0f << 60.0f;
        QTest::newRow("tie 1.5 goes up to even") << 45.0f << 30.0f << 60.0f;
        QTest::newRow("610 onto the lower edge") << 610.0f << 30.0f << 600.0f;
        QTest::newRow("615 is a tie, stays on the edge") << 615.0f << 30.0f << 600.0f;
        QTest::newRow("616 below the plane") << 616.0f << 30.0f << 630.0f;
        QTest::newRow("halves") << 22.0f << 15.0f << 15.0f;
        QTest::newRow("halves tie") << 22.5f << 15.0f << 30.0f;
        QTest::newRow("quarters keep the half pixel") << 157.0f << 7.5f << 157.5f;
        QTest::newRow("quarters tie to even") << 3.75f << 7.5f << 0.0f;
        QTest::newRow("fifths") << 157.0f << 6.0f << 156.0f;
        QTest::newRow("fifths tie to even") << 159.0f << 6.0f << 156.0f;
        QTest::newRow("fractional pointer") << 165.1f << 6.0f << 168.0f;
        QTest::newRow("origin") << 0.0f << 30.0f << 0.0f;
        QTest::newRow("right edge") << 1200.0f << 7.5f << 1200.0f;
    }

    void snap()
    {
        QFETCH(float, coordinate);
        QFETCH(float, spacing);
        QFETCH(float, snapped);
        QCOMPARE(plotter::SnapToGrid(coordinate, spacing), snapped);
    }

    void alignsBothCoordinates()
    {
        float x = 75, y = 616;
        plotter::AlignToGrid(x, y, 30);
        QCOMPARE(x, 60.0f);
        QCOMPARE(y, 630.0f);
    }

    void spacings()
    {
        QCOMPARE(plotter::GridSpacing(1.0f), 30.0f);
        QCOMPARE(plotter::GridSpacing(0.5f), 15.0f);
        QCOMPARE(plotter::GridSpacing(0.25f), 7.5f);
        QCOMPARE(plotter::GridSpacing(0.2f), 6.0f);
    }
};

QTEST_GUILESS_MAIN(tst_gridsnap)
#include "tst_gridsnap.moc"
