// The viewer's crop on a stand-in viewer: an auto-sized image box inside a smaller
// viewport and a checkable Crop action, driven by window-system mouse events.
#include "OverlayTestSupport.h"

#include "capture/overlay/RubberBand.h"
#include "capture/viewer/CropSelection.h"
#include "forms/PictureBox.h"

#include <QAction>
#include <QScreen>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>

#include <cmath>
#include <memory>

using capture::CropSelection;
using namespace overlaytest;

namespace {

// What the viewer does with a crop: the picture at the viewport's top-left corner.
struct Viewer {
    QWidget window;
    QToolBar* toolbar = new QToolBar(&window);
    QAction* crop = toolbar->addAction(QStringLiteral("Crop"));
    QWidget* viewport = new QWidget(&window);
    forms::PictureBox* picture2 = new forms::PictureBox(viewport);
    QList<forms::Picture> crops;

    Viewer()
    {
        window.resize(640, 460);
        toolbar->setGeometry(0, 0, 640, 30);
        viewport->setGeometry(10, 40, 500, 300);
        picture2->setObjectName(QStringLiteral("Picture2"));
        picture2->setAutoSize(true);
    }
};

} // namespace

class tst_crop : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void armingPressesTheButton();
    void cropSelects_data();
    void cropSelects();
    void clickCropsOnePixel_data();
    void clickCropsOnePixel();
    void unarmedPressesChangeNothing();
    void armedForOneSelectionOnly();
    void cropWithoutPicture();

private:
    qreal ratio() const { return QGuiApplication::primaryScreen()->devicePixelRatio(); }
    QPoint devicePoint(QPointF p) const
    {
        return QPoint(int(std::lrint(p.x() * ratio())), int(std::lrint(p.y() * ratio())));
    }

    std::unique_ptr<Viewer> viewer_;
    std::unique_ptr<CropSelection> crop_;
    forms::Picture picture_;
};

void tst_crop::init()
{
    viewer_ = std::make_unique<Viewer>();
    crop_ = std::make_unique<CropSelection>(*viewer_->picture2, *viewer_->crop);
    // The viewer's toolbar button runs the command again, which presses it again.
    connect(viewer_->crop, &QAction::triggered, crop_.get(), &CropSelection::StartCropMode);
    connect(crop_.get(), &CropSelection::cropped, viewer_.get()->picture2,
            [v = viewer_.get()](const forms::Picture& picture) {
                v->crops.append(picture);
                v->picture2->move(0, 0);
                v->picture2->setPicture(picture);
            });
    picture_ = pattern((QSizeF(700, 500) * ratio()).toSize(), ratio());
    viewer_->picture2->setPicture(picture_);
    viewer_->window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer_->window));
}

void tst_crop::cleanup()
{
    crop_.reset();
    viewer_.reset();
}

void tst_crop::armingPressesTheButton()
{
    QVERIFY(!crop_->CropMode());
    crop_->StartCropMode();
    QVERIFY(crop_->CropMode());
    QVERIFY(viewer_->crop->isCheckable());
    QVERIFY(viewer_->crop->isChecked());
    QCOMPARE(viewer_->picture2->cursor().shape(), Qt::CrossCursor);
    // Clicking the pressed button toggles it up, and the command presses it again.
    viewer_->crop->trigger();
    QVERIFY(viewer_->crop->isChecked());
    QVERIFY(crop_->CropMode());
    QVERIFY(!crop_->band().isVisible());
}

void tst_crop::cropSelects_data()
{
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QRectF>("expected"); // logical pixels of the old picture

    const QRectF box(QPointF(40, 30), QPointF(260, 170));
    QTest::newRow("down-right") << QPoint() << box.topLeft() << box.bottomRight() << box;
    QTest::newRow("up-left") << QPoint() << box.bottomRight() << box.topLeft() << box;
    QTest::newRow("up-right") << QPoint() << box.bottomLeft() << box.topRight() << box;
    QTest::newRow("down-left") << QPoint() << box.topRight() << box.bottomLeft() << box;
    QTest::newRow("zero height is one pixel high")
        << QPoint() << QPointF(40, 30) << QPointF(200, 30) << QRectF(40, 30, 160, 1 / 1.0);
    QTest::newRow("scrolled: band in image pixels")
        << QPoint(-300, -200) << QPointF(350, 250) << QPointF(480, 320)
        << QRectF(QPointF(350, 250), QPointF(480, 320));
    QTest::newRow("scrolled, between logical pixels")
        << QPoint(-300, -200) << QPointF(350.5, 250.5) << QPointF(420.5, 291.5)
        << QRectF(QPointF(350.5, 250.5), QPointF(420.5, 291.5));
    QTest::newRow("beyond the picture's edge")
        << QPoint(-300, -250) << QPointF(600, 400) << QPointF(760, 580)
        << QRectF(QPointF(600, 400), QPointF(700, 500));
    QTest::newRow("beyond the top-left") << QPoint(100, 100) << QPointF(80, 60) << QPointF(-50, -70)
                                         << QRectF(QPointF(0, 0), QPointF(80, 60));
}

void tst_crop::cropSelects()
{
    QFETCH(QPoint, scroll);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(QRectF, expected);
    forms::PictureBox& picture2 = *viewer_->picture2;
    picture2.move(scroll);
    crop_->StartCropMode();

    Mouse mouse(picture2);
    mouse.press(from);
    QVERIFY(crop_->Dragging());
    QVERIFY(crop_->band().isVisible());
    mouse.move((from + to) / 2);
    mouse.move(to);
    mouse.release(to);

    QCOMPARE(viewer_->crops.size(), 1);
    const forms::Picture cropped = viewer_->crops.first();
    QRect pixels(devicePoint(expected.topLeft()),
                 devicePoint(expected.bottomRight()) - QPoint(1, 1));
    if (expected.height() < 1.5)
        pixels.setHeight(1);
    QCOMPARE(cropped.size(), pixels.size());
    QCOMPARE(cropped.devicePixelRatio(), ratio());
    QCOMPARE(cropped.pixel(0, 0), patternAt(pixels.left(), pixels.top()));
    // The old picture's pixels exactly: no band line, nothing invented past the edge.
    QCOMPARE(differingPixels(cropped, picture_.copy(pixels)), 0);

    QVERIFY(!crop_->CropMode());
    QVERIFY(!crop_->Dragging());
    QVERIFY(!crop_->band().isVisible());
    QVERIFY(viewer_->crop->isCheckable());
    QVERIFY(!viewer_->crop->isChecked());
    QVERIFY(!picture2.testAttribute(Qt::WA_SetCursor));
    QCOMPARE(picture2.pos(), QPoint(0, 0));
    QCOMPARE(picture2.size(), cropped.deviceIndependentSize().toSize());
}

void tst_crop::clickCropsOnePixel_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPointF>("moveTo");
    QTest::newRow("left click") << Qt::LeftButton << QPointF(123, 77);
    QTest::newRow("right button drag") << Qt::RightButton << QPointF(300, 200);
    QTest::newRow("middle button drag") << Qt::MiddleButton << QPointF(10, 10);
}

void tst_crop::clickCropsOnePixel()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPointF, moveTo);
    crop_->StartCropMode();
    Mouse mouse(*viewer_->picture2);
    const QPointF at(123, 77);
    mouse.press(at, button);
    mouse.move(moveTo);
    mouse.release(moveTo, button);
    QCOMPARE(viewer_->crops.size(), 1);
    QCOMPARE(viewer_->crops.first().size(), QSize(1, 1));
    const QPoint pixel = devicePoint(at);
    QCOMPARE(viewer_->crops.first().pixel(0, 0), patternAt(pixel.x(), pixel.y()));
    QVERIFY(!crop_->CropMode());
}

void tst_crop::unarmedPressesChangeNothing()
{
    Mouse mouse(*viewer_->picture2);
    mouse.drag(QPointF(20, 20), QPointF(200, 150));
    mouse.press(QPointF(50, 50), Qt::RightButton);
    QVERIFY(!crop_->band().isVisible());
    mouse.release(QPointF(50, 50), Qt::RightButton);
    QVERIFY(viewer_->crops.isEmpty());
    QVERIFY(!crop_->band().isVisible());
    QCOMPARE(viewer_->picture2->picture().cacheKey(), picture_.cacheKey());
}

// One crop per arming: the next drag does nothing until the command runs again.
void tst_crop::armedForOneSelectionOnly()
{
    crop_->StartCropMode();
    Mouse mouse(*viewer_->picture2);
    mouse.drag(QPointF(10, 10), QPointF(310, 210));
    QCOMPARE(viewer_->crops.size(), 1);
    const qint64 afterFirst = viewer_->picture2->picture().cacheKey();

    mouse.drag(QPointF(20, 20), QPointF(60, 60));
    QCOMPARE(viewer_->crops.size(), 1);
    QVERIFY(!crop_->band().isVisible());
    QCOMPARE(viewer_->picture2->picture().cacheKey(), afterFirst);

    viewer_->crop->trigger(); // the toolbar button arms it again
    QVERIFY(crop_->CropMode());
    mouse.drag(QPointF(20, 20), QPointF(60, 50));
    QCOMPARE(viewer_->crops.size(), 2);
    // A crop of the crop: its pixels come from the first crop, offset by its corner.
    const QPoint first = devicePoint(QPointF(10, 10)), second = devicePoint(QPointF(20, 20));
    QCOMPARE(viewer_->crops.last().size(), (QSizeF(40, 30) * ratio()).toSize());
    QCOMPARE(viewer_->crops.last().pixel(0, 0),
             patternAt(first.x() + second.x(), first.y() + second.y()));
}

// With no picture there are no pixels to keep: the crop ends without a new picture.
void tst_crop::cropWithoutPicture()
{
    viewer_->picture2->setPicture(forms::Picture());
    viewer_->picture2->resize(151, 133);
    crop_->StartCropMode();
    Mouse(*viewer_->picture2).drag(QPointF(10, 10), QPointF(100, 100));
    // The band's area of the bare box: its background colour, at the band's size.
    QCOMPARE(viewer_->crops.size(), 1);
    const forms::Picture crop = viewer_->crops.first();
    QCOMPARE(crop.deviceIndependentSize().toSize(), QSize(90, 90));
    QCOMPARE(crop.pixelColor(0, 0), viewer_->picture2->backColor());
    QCOMPARE(crop.pixelColor(crop.width() - 1, crop.height() - 1), viewer_->picture2->backColor());
    QVERIFY(!crop_->CropMode());
    QVERIFY(!viewer_->crop->isChecked());
    QVERIFY(!crop_->band().isVisible());
}

QTEST_MAIN(tst_crop)
#include "tst_crop.moc"
