#include "capture/overlay/PictureRegion.h"

#include <QTest>

using capture::PictureRegion;

namespace {

// Every pixel different, so a shifted or mis-strided region shows.
QImage numbered(QSize size, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256 + 16 * (y / 256)) % 256));
    return image;
}

bool sharesPixels(const QImage& part, const QImage& whole)
{
    const uchar* begin = whole.constBits();
    return part.constBits() >= begin && part.constBits() < begin + whole.sizeInBytes();
}

} // namespace

class tst_pictureregion : public QObject {
    Q_OBJECT
private slots:
    void pixelsOfTheArea_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("shared");
        QTest::newRow("small corner, copied") << QRect(3, 5, 40, 30) << false;
        QTest::newRow("one pixel") << QRect(299, 199, 1, 1) << false;
        QTest::newRow("most of it, shared") << QRect(7, 3, 290, 190) << true;
        QTest::newRow("full height strip, shared") << QRect(100, 0, 200, 200) << true;
        QTest::newRow("a third, shared") << QRect(0, 0, 100, 200) << true;
        QTest::newRow("a quarter, copied") << QRect(0, 0, 75, 200) << false;
    }

    void pixelsOfTheArea()
    {
        QFETCH(QRect, area);
        QFETCH(bool, shared);
        QImage whole = numbered(QSize(300, 200));
        whole.setDevicePixelRatio(2);
        const QImage part = PictureRegion(whole, area);
        QCOMPARE(part.size(), area.size());
        QCOMPARE(part.devicePixelRatio(), 2.0);
        QCOMPARE(sharesPixels(part, whole), shared);
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                QCOMPARE(part.pixel(x, y), whole.pixel(area.x() + x, area.y() + y));
    }

    void sharedRegionOutlivesItsSource()
    {
        QImage part;
        {
            const QImage whole = numbered(QSize(300, 200));
            part = PictureRegion(whole, QRect(10, 10, 280, 180));
            QVERIFY(sharesPixels(part, whole));
        }
        QCOMPARE(part.pixel(0, 0), qRgb(10, 10, 0)); // the source's pixels are still held
        QCOMPARE(part.pixel(279, 179), qRgb(289 % 256, 189, 1));
    }

    void writingDetaches()
    {
        const QImage whole = numbered(QSize(300, 200));
        QImage part = PictureRegion(whole, QRect(0, 0, 299, 200));
        part.setPixel(0, 0, qRgb(1, 2, 3));
        QCOMPARE(whole.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(part.pixel(0, 0), qRgb(1, 2, 3));
    }

    void wholeAndOutside()
    {
        const QImage whole = numbered(QSize(300, 200));
        QCOMPARE(PictureRegion(whole, whole.rect()).constBits(), whole.constBits());
        QVERIFY(PictureRegion(whole, QRect(400, 400, 5, 5)).isNull());
        QCOMPARE(PictureRegion(whole, QRect(-10, -10, 20, 20)).size(), QSize(10, 10));
    }

    void otherFormats()
    {
        const QImage whole = numbered(QSize(300, 200)).convertToFormat(QImage::Format_RGB16);
        const QImage part = PictureRegion(whole, QRect(5, 5, 280, 190));
        QCOMPARE(part.format(), QImage::Format_RGB16);
        QCOMPARE(part.pixel(0, 0), whole.pixel(5, 5));
        QCOMPARE(part.pixel(279, 189), whole.pixel(284, 194));
    }
};

QTEST_GUILESS_MAIN(tst_pictureregion)
#include "tst_pictureregion.moc"
