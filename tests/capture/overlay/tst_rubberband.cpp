// The band's bounds rule and line table, shared by the rectangle overlay and the crop.
#include "capture/overlay/BandGeometry.h"
#include "capture/overlay/RubberBand.h"
#include "forms/PictureBox.h"

#include <QtTest>

using capture::BandBounds;
using capture::BandLines;
using capture::ClipToPicture;

class tst_rubberband : public QObject {
    Q_OBJECT
private slots:
    void bounds_data();
    void bounds();
    void oppositeDragsAgree_data();
    void oppositeDragsAgree();
    void clip_data();
    void clip();
    void lineTable_data();
    void lineTable();
    void onlyLeftButtonDrags_data();
    void onlyLeftButtonDrags();
    void removedBandIsNotPainted();
};

void tst_rubberband::bounds_data()
{
    QTest::addColumn<QPointF>("anchor");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("down-right") << QPointF(10, 20) << QPointF(40, 60) << 1.0
                                << QRect(10, 20, 30, 40);
    QTest::newRow("up-left") << QPointF(40, 60) << QPointF(10, 20) << 1.0 << QRect(10, 20, 30, 40);
    QTest::newRow("up-right") << QPointF(10, 60) << QPointF(40, 20) << 1.0 << QRect(10, 20, 30, 40);
    QTest::newRow("down-left") << QPointF(40, 20) << QPointF(10, 60) << 1.0
                               << QRect(10, 20, 30, 40);
    QTest::newRow("point gives one pixel")
        << QPointF(7, 9) << QPointF(7, 9) << 1.0 << QRect(7, 9, 1, 1);
    QTest::newRow("zero width") << QPointF(7, 9) << QPointF(7, 30) << 1.0 << QRect(7, 9, 1, 21);
    QTest::newRow("zero height") << QPointF(7, 9) << QPointF(30, 9) << 1.0 << QRect(7, 9, 23, 1);
    QTest::newRow("halves round to even")
        << QPointF(2.5, 3.5) << QPointF(5.5, 6.5) << 1.0 << QRect(QPoint(2, 4), QPoint(5, 5));
    QTest::newRow("ratio 2 doubles edges")
        << QPointF(10, 20) << QPointF(40, 60) << 2.0 << QRect(20, 40, 60, 80);
    QTest::newRow("ratio 2 keeps half pixels")
        << QPointF(10.5, 20) << QPointF(11, 20.5) << 2.0 << QRect(21, 40, 1, 1);
    QTest::newRow("ratio 1.5 rounds edges not extents")
        << QPointF(1, 1) << QPointF(2, 2) << 1.5 << QRect(QPoint(2, 2), QPoint(2, 2));
    QTest::newRow("negative corner")
        << QPointF(5, 5) << QPointF(-3, -4) << 1.0 << QRect(-3, -4, 8, 9);
}

void tst_rubberband::bounds()
{
    QFETCH(QPointF, anchor);
    QFETCH(QPointF, pointer);
    QFETCH(qreal, ratio);
    QFETCH(QRect, expected);
    const auto lines = BandLines(anchor, pointer);
    QCOMPARE(BandBounds(lines[0], lines[1], ratio), expected);
}

void tst_rubberband::oppositeDragsAgree_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::newRow("whole") << QPointF(3, 4) << QPointF(90, 17);
    QTest::newRow("fractional") << QPointF(3.25, 4.75) << QPointF(90.5, 17.5);
    QTest::newRow("thin") << QPointF(3, 4) << QPointF(3, 170);
}

// Dragging from a to b and from b to a select the same pixels, at every ratio.
void tst_rubberband::oppositeDragsAgree()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    for (qreal ratio : {1.0, 1.25, 2.0}) {
        const auto forward = BandLines(a, b);
        const auto backward = BandLines(b, a);
        QCOMPARE(BandBounds(forward[0], forward[1], ratio),
                 BandBounds(backward[0], backward[1], ratio));
    }
}

void tst_rubberband::clip_data()
{
    QTest::addColumn<QRect>("band");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("expected");

    const QSize size(100, 50);
    QTest::newRow("inside") << QRect(10, 10, 20, 20) << size << QRect(10, 10, 20, 20);
    QTest::newRow("whole picture") << QRect(0, 0, 100, 50) << size << QRect(0, 0, 100, 50);
    QTest::newRow("beyond right and bottom")
        << QRect(90, 40, 30, 30) << size << QRect(90, 40, 10, 10);
    QTest::newRow("beyond left and top") << QRect(-20, -5, 30, 10) << size << QRect(0, 0, 10, 5);
    QTest::newRow("over every edge") << QRect(-1, -1, 102, 52) << size << QRect(0, 0, 100, 50);
    QTest::newRow("on the far edge keeps the last pixel")
        << QRect(100, 50, 1, 1) << size << QRect(99, 49, 1, 1);
    QTest::newRow("wholly off to the right") << QRect(150, 10, 5, 5) << size << QRect(99, 10, 1, 5);
    QTest::newRow("no picture") << QRect(0, 0, 5, 5) << QSize() << QRect();
}

void tst_rubberband::clip()
{
    QFETCH(QRect, band);
    QFETCH(QSize, picture);
    QFETCH(QRect, expected);
    const QRect clipped = ClipToPicture(band, picture);
    QCOMPARE(clipped, expected);
    if (!picture.isEmpty())
        QVERIFY(QRect(QPoint(0, 0), picture).contains(clipped));
}

void tst_rubberband::lineTable_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<QPointF>("anchor");
    QTest::addColumn<QPointF>("corner");

    QTest::newRow("whole pixels") << 1.0 << QPointF(20, 30) << QPointF(70, 5) << QPointF(20, 30)
                                  << QPointF(70, 5);
    QTest::newRow("press snaps half to even")
        << 1.0 << QPointF(20.5, 31.5) << QPointF(70.4, 5.6) << QPointF(20, 32) << QPointF(70, 6);
    QTest::newRow("ratio 2 keeps half pixels")
        << 2.0 << QPointF(20.5, 31.25) << QPointF(70.5, 5) << QPointF(20.5, 31) << QPointF(70.5, 5);
}

// A left press and a move set the four lines by the table, from the snapped anchor.
void tst_rubberband::lineTable()
{
    QFETCH(qreal, ratio);
    QFETCH(QPointF, press);
    QFETCH(QPointF, pointer);
    QFETCH(QPointF, anchor);
    QFETCH(QPointF, corner);

    forms::PictureBox box;
    box.resize(200, 200);
    QImage picture(400, 400, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ratio);
    box.setPicture(picture);
    capture::RubberBand band(box);
    QVERIFY(!band.isVisible());

    band.press(press, Qt::LeftButton);
    QVERIFY(band.isVisible());
    QVERIFY(band.isPoint());
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(band.line(n).line(), QLineF(anchor, anchor));

    band.move(pointer);
    const double x0 = anchor.x(), y0 = anchor.y(), x = corner.x(), y = corner.y();
    QCOMPARE(band.line(1).line(), QLineF(x0, y0, x, y0));
    QCOMPARE(band.line(2).line(), QLineF(x0, y0, x0, y));
    QCOMPARE(band.line(3).line(), QLineF(x, y0, x, y));
    QCOMPARE(band.line(4).line(), QLineF(x0, y, x, y));
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(band.line(n).borderStyle(), Qt::DotLine);
    QVERIFY(!band.isPoint());

    band.hide();
    QVERIFY(!band.isVisible());
}

void tst_rubberband::onlyLeftButtonDrags_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("drags");
    QTest::newRow("left") << Qt::LeftButton << true;
    QTest::newRow("right") << Qt::RightButton << false;
    QTest::newRow("middle") << Qt::MiddleButton << false;
}

void tst_rubberband::onlyLeftButtonDrags()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, drags);
    forms::PictureBox box;
    box.resize(100, 100);
    capture::RubberBand band(box);

    band.press(QPointF(10, 10), button);
    band.move(QPointF(50, 60));
    QVERIFY(band.isVisible());
    QCOMPARE(band.dragging(), drags);
    QCOMPARE(band.bounds(), drags ? QRect(10, 10, 40, 50) : QRect(10, 10, 1, 1));

    // A new press re-anchors whatever came before.
    band.press(QPointF(70, 80), Qt::RightButton);
    QCOMPARE(band.bounds(), QRect(70, 80, 1, 1));
}

// A box that outlives its band must not paint the band's lines.
void tst_rubberband::removedBandIsNotPainted()
{
    forms::PictureBox box;
    box.resize(100, 100);
    box.setBackColor(Qt::white);
    {
        capture::RubberBand band(box);
        band.press(QPointF(10, 10), Qt::LeftButton);
        band.move(QPointF(60, 60));
        const QImage drawn = box.grab().toImage();
        QCOMPARE(drawn.pixelColor(10, 10), QColor(Qt::black));
    }
    const QImage after = box.grab().toImage();
    for (int x = 0; x < 100; ++x)
        QCOMPARE(after.pixelColor(x, 10), QColor(Qt::white));
}

QTEST_MAIN(tst_rubberband)
#include "tst_rubberband.moc"
