// The viewer's layout and scroll arithmetic, as plain functions.

#include "capture/viewer/ScrollModel.h"

#include <QtTest>

using namespace capture;

class tst_scroll : public QObject {
    Q_OBJECT
private slots:
    void range_data();
    void range();
    void offset_data();
    void offset();
    void farCornerOfLargeImages_data();
    void farCornerOfLargeImages();
    void arrange_data();
    void arrange();
    void minimumSize_data();
    void minimumSize();
};

void tst_scroll::range_data()
{
    QTest::addColumn<double>("imagePixels");
    QTest::addColumn<double>("viewportTwips");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("smallChange");
    QTest::addColumn<int>("largeChange");
    // 1000 x 800 image in a 7635 x 4335 viewport at 15 twips per pixel.
    QTest::newRow("horizontal-1000") << 1000.0 << 7635.0 << 7365 << 369 << 1474;
    QTest::newRow("vertical-800") << 800.0 << 4335.0 << 7665 << 384 << 1534;
    QTest::newRow("fits") << 100.0 << 7635.0 << 0 << 1 << 1;
    QTest::newRow("exactly-fits") << 509.0 << 7635.0 << 0 << 1 << 1;
    // Steps round half to even.
    QTest::newRow("max-10") << 10.0 / 15 + 509 << 7635.0 << 10 << 2 << 3;
    QTest::newRow("max-30") << 511.0 << 7635.0 << 30 << 2 << 7;
    QTest::newRow("max-50") << 50.0 / 15 + 509 << 7635.0 << 50 << 4 << 11;
    // Past 16 bits: an 8K screenshot.
    QTest::newRow("8k-wide") << 7680.0 << 7635.0 << 107565 << 5379 << 21514;
}

void tst_scroll::range()
{
    QFETCH(double, imagePixels);
    QFETCH(double, viewportTwips);
    QFETCH(int, max);
    QFETCH(int, smallChange);
    QFETCH(int, largeChange);
    const ScrollRange r = ComputeScrollRange(imagePixels, viewportTwips, 15);
    QCOMPARE(r.max, max);
    QCOMPARE(r.smallChange, smallChange);
    QCOMPARE(r.largeChange, largeChange);
    QCOMPARE(r.visible(), max > 0);
}

void tst_scroll::offset_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<double>("position");
    QTest::newRow("h-1500") << 1500 << true << true << -104.0;
    QTest::newRow("h-max") << 7365 << true << true << -496.0;
    QTest::newRow("h-zero") << 0 << true << true << 0.0;
    QTest::newRow("h-small-step") << 15 << true << true << -5.0;
    QTest::newRow("v-max") << 7665 << false << true << -515.0;
    QTest::newRow("v-fraction") << 7 << false << true << -(7 / 15.0 + 4);
}

// An image that fits moves only to 0 or to the far end, never in between.
static_assert(kHorizontalEndMargin == 5 && kVerticalEndMargin == 4);

void tst_scroll::offset()
{
    QFETCH(int, value);
    QFETCH(bool, horizontal);
    QFETCH(bool, moves);
    QFETCH(double, position);
    const auto got = horizontal
                         ? ImageOffsetForScroll(value, 7365, 1000, 7635, 15, kHorizontalEndMargin)
                         : ImageOffsetForScroll(value, 7665, 800, 4335, 15, kVerticalEndMargin);
    QCOMPARE(got.has_value(), moves);
    if (moves)
        QCOMPARE(*got, position);
}

void tst_scroll::farCornerOfLargeImages_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("viewport"); // twips
    QTest::newRow("4k") << QSize(3840, 2160) << QSize(7635, 4335);
    QTest::newRow("8k") << QSize(7680, 4320) << QSize(7635, 4335);
    QTest::newRow("4k-maximised") << QSize(3840, 2160) << QSize(28200, 14500);
    QTest::newRow("tall-strip") << QSize(200, 30000) << QSize(7635, 4335);
}

// At the far end every image shows its last column and row, a few pixels in from the
// viewport's edge, and the range never leaves part of it unreachable.
void tst_scroll::farCornerOfLargeImages()
{
    QFETCH(QSize, image);
    QFETCH(QSize, viewport);
    const double t = 15;
    const ScrollRange h = ComputeScrollRange(image.width(), viewport.width(), t);
    const ScrollRange v = ComputeScrollRange(image.height(), viewport.height(), t);
    if (h.visible()) {
        const double left = *ImageOffsetForScroll(h.max, h.max, image.width(), viewport.width(), t,
                                                  kHorizontalEndMargin);
        QCOMPARE(left + image.width(), viewport.width() / t - kHorizontalEndMargin);
        // One step short of the end is still short of the far edge.
        const double before = *ImageOffsetForScroll(h.max - 1, h.max, image.width(),
                                                    viewport.width(), t, kHorizontalEndMargin);
        QVERIFY(before > left - 1);
    }
    if (v.visible()) {
        const double top = *ImageOffsetForScroll(v.max, v.max, image.height(), viewport.height(), t,
                                                 kVerticalEndMargin);
        QCOMPARE(top + image.height(), viewport.height() / t - kVerticalEndMargin);
        QVERIFY(v.max > 0 && v.max >= image.height() * t - viewport.height() - 1);
    }
}

void tst_scroll::arrange_data()
{
    QTest::addColumn<double>("w");
    QTest::addColumn<double>("h");
    QTest::addColumn<bool>("vVisible");
    QTest::addColumn<bool>("hVisible");
    QTest::addColumn<double>("viewportWidth");
    QTest::addColumn<double>("viewportHeight");
    QTest::newRow("no-bars") << 8100.0 << 5590.0 << false << false << 7980.0 << 4455.0;
    QTest::newRow("vertical-bar") << 8100.0 << 5590.0 << true << false << 7695.0 << 4455.0;
    // The toolbar's height counts only while the horizontal bar shows.
    QTest::newRow("horizontal-bar") << 8100.0 << 5590.0 << false << true << 7980.0 << 4035.0;
    QTest::newRow("both-bars") << 8100.0 << 5590.0 << true << true << 7695.0 << 4035.0;
}

void tst_scroll::arrange()
{
    QFETCH(double, w);
    QFETCH(double, h);
    QFETCH(bool, vVisible);
    QFETCH(bool, hVisible);
    QFETCH(double, viewportWidth);
    QFETCH(double, viewportHeight);
    ViewportInput in;
    in.windowWidth = w;
    in.windowHeight = h;
    in.vScrollVisible = vVisible;
    in.hScrollVisible = hVisible;
    const ViewportLayout out = ArrangeViewport(in);
    QCOMPARE(out.viewportWidth, viewportWidth);
    QCOMPARE(out.viewportHeight, viewportHeight);
    // The bars run along the viewport's right and bottom edges, as long as it is.
    QCOMPARE(out.vScrollLeft, viewportWidth);
    QCOMPARE(out.vScrollTop, 450.0);
    QCOMPARE(out.vScrollHeight, viewportHeight);
    QCOMPARE(out.hScrollTop, viewportHeight + 450);
    QCOMPARE(out.hScrollLeft, 0.0);
    QCOMPARE(out.hScrollWidth, viewportWidth);
}

void tst_scroll::minimumSize_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("keptWidth");
    QTest::addColumn<double>("keptHeight");
    QTest::newRow("narrow") << 2999.0 << 5000.0 << 4000.0 << 5000.0;
    QTest::newRow("at-width-limit") << 3000.0 << 5000.0 << 3000.0 << 5000.0;
    QTest::newRow("low") << 6000.0 << 1999.0 << 6000.0 << 2000.0;
    QTest::newRow("both") << 100.0 << 100.0 << 4000.0 << 2000.0;
}

void tst_scroll::minimumSize()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, keptWidth);
    QFETCH(double, keptHeight);
    QCOMPARE(EnforcedWindowWidth(width), keptWidth);
    QCOMPARE(EnforcedWindowHeight(height), keptHeight);
}

QTEST_GUILESS_MAIN(tst_scroll)
#include "tst_scroll.moc"
