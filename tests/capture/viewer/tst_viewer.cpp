// The viewer window on a real X server: its design, layout, scrolling, toolbar dispatch,
// the full-screen capture and the clipboard.

#include "Clipboard.h"
#include "NotInThisRun.h"
#include "ViewerSupport.h"

#include "capture/grab/CaptureSource.h"
#include "capture/viewer/frmScreenCapture.h"
#include "forms/FormInstance.h"
#include "forms/PictureBox.h"
#include "forms/Twips.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QWindow>
#include <QtTest>

using capture::frmScreenCapture;
using namespace testsupport;

namespace {

forms::PictureBox* box(frmScreenCapture& v, const char* name)
{
    return v.findChild<forms::PictureBox*>(QLatin1String(name));
}

QScrollBar* bar(frmScreenCapture& v, const char* name)
{
    return v.findChild<QScrollBar*>(QLatin1String(name));
}

// A picture in quadrants of known colours, at the screen's device pixel ratio.
QImage quadrants(int width, int height, qreal dpr)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    p.end();
    image.setDevicePixelRatio(dpr);
    return image;
}

// A plain coloured window standing in for another program's window.
class Backdrop : public QWidget {
public:
    Backdrop(const QRect& rect, QColor color)
    {
        setWindowFlags(Qt::FramelessWindowHint);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, color);
        setPalette(pal);
        setGeometry(rect);
        show();
    }
};

} // namespace

class tst_viewer : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void design();
    void menus_data();
    void menus();
    void toolbar();
    void dispatch_data();
    void dispatch();
    void exitClosesOnlyTheViewer();
    void scrollBarsFollowThePicture();
    void scrollToEveryEdge();
    void resizeReturnsToTopLeft();
    void minimumSize();
    void fullScreenCapture();
    void noSourceExplains_data();
    void noSourceExplains();
    void clipboardReadBack();
    void fourKCaptureScrollsToFarCorner();

private:
    frmScreenCapture& shown();
};

void tst_viewer::cleanup()
{
    if (auto* v = frmScreenCapture::loaded())
        v->close();
    QTRY_VERIFY(!frmScreenCapture::loaded());
}

frmScreenCapture& tst_viewer::shown()
{
    frmScreenCapture& v = frmScreenCapture::instance();
    v.show();
    if (!QTest::qWaitForWindowExposed(&v))
        qWarning("viewer not exposed");
    return v;
}

void tst_viewer::design()
{
    frmScreenCapture& v = shown();
    QCOMPARE(v.objectName(), QStringLiteral("frmScreenCapture"));
    QCOMPARE(v.windowTitle(), QStringLiteral("Capture Selected Area"));
    QVERIFY(!v.windowIcon().isNull());
    QVERIFY(!forms::HasPicture(v.picture()));
    QVERIFY(box(v, "Picture1") && box(v, "Picture2") && box(v, "picRectangle"));
    QCOMPARE(box(v, "Picture2")->parentWidget(), box(v, "Picture1"));
    QCOMPARE(box(v, "Picture2")->size(), QSize(151, 133));
    QCOMPARE(box(v, "Picture1")->backColor(), QColor(0x80, 0x80, 0x80));
    QVERIFY(bar(v, "HScroll1")->isHidden());
    QVERIFY(bar(v, "VScroll1")->isHidden());
    // The viewport starts below the toolbar, which spans the client width.
    auto* toolbar = v.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    QVERIFY(toolbar);
    QCOMPARE(box(v, "Picture1")->y(), forms::TwipsToPixelsY(450));
    QCOMPARE(toolbar->width(), v.centralWidget()->width());
    // The design's client area, 7980 x 5160 twips.
    QCOMPARE(v.centralWidget()->width(), forms::TwipsToPixelsX(7980));
    QCOMPARE(v.centralWidget()->height(), forms::TwipsToPixelsY(5160));
}

void tst_viewer::menus_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("file") << "mnuFile"
                          << "&File" << QStringList {"mnuOpen=&Open", "mnuSave=Save &As",
                                                     "mnBB=",         "mnuPrint=&Print",
                                                     "mnuAA=",        "mnuExit=E&xit"};
    QTest::newRow("edit") << "mnuEdit"
                          << "&Edit"
                          << QStringList {"mnuCrop=Select Crop &Area",
                                          "mnuCopy=&Copy Image to Clipboard"};
    QTest::newRow("capture") << "mnuB"
                             << "&Capture"
                             << QStringList {"mnuRectangle=Capture &Rectangular Area",
                                             "mnuFullScreen=Capture Full &Screen"};
}

void tst_viewer::menus()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    frmScreenCapture& v = shown();
    auto* m = v.findChild<QMenu*>(menu);
    QVERIFY(m);
    QCOMPARE(m->title(), title);
    QStringList seen;
    for (QAction* a : m->actions()) {
        seen << a->objectName() + "=" + (a->isSeparator() ? QString() : a->text());
        QVERIFY(a->shortcut().isEmpty());
    }
    QCOMPARE(seen, items);
}

void tst_viewer::toolbar()
{
    frmScreenCapture& v = shown();
    auto* toolbar = v.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    QStringList seen;
    for (QAction* a : toolbar->actions()) {
        QVERIFY(!a->isSeparator()); // the gaps are blank, not lines
        QWidget* widget = toolbar->widgetForAction(a);
        const bool gap = a->data().toString().isEmpty();
        seen << (gap ? QStringLiteral("-") : a->objectName() + "=" + a->toolTip());
        if (!gap)
            QCOMPARE(widget->size(), QSize(23, 22));
    }
    const QStringList expected {"-",
                                "Exit=Exit Program",
                                "Open=Open a new Image.",
                                "SaveIt=Save Image As",
                                "-",
                                "Capture1=Capture Rectangular Area",
                                "Capture2=Capture Full Screen",
                                "-",
                                "Print=Print Image",
                                "Copy=Copy Image to Clipboard",
                                "Crop=Select area to crop",
                                "-",
                                "About=About Snapwell"};
    QCOMPARE(seen, expected);
    for (QAction* a : toolbar->actions())
        QVERIFY2(a->data().toString().isEmpty() || !a->icon().isNull(),
                 qPrintable(a->objectName()));
    QVERIFY(v.findChild<QAction*>(QStringLiteral("Crop"))->isCheckable());
}

void tst_viewer::dispatch_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("boxTitle"); // empty: the key must do nothing at all
    QTest::newRow("about") << "About" << QString();
    QTest::newRow("empty") << "" << QString();
    QTest::newRow("case-differs") << "saveit" << QString();
    QTest::newRow("trailing-blank") << "Copy " << QString();
    QTest::newRow("save-nothing") << "SaveIt"
                                  << "Nothing To Save";
    QTest::newRow("copy-nothing") << "Copy"
                                  << "Nothing To Copy";
    QTest::newRow("print-nothing") << "Print"
                                   << "Nothing To Print";
}

void tst_viewer::dispatch()
{
    QFETCH(QString, key);
    QFETCH(QString, boxTitle);
    frmScreenCapture& v = shown();
    auto seen = expectMessageBox();
    v.Toolbar1_ButtonClick(key);
    QTest::qWait(boxTitle.isEmpty() ? 200 : 0);
    QCOMPARE(seen->shown, !boxTitle.isEmpty());
    if (!boxTitle.isEmpty()) {
        QCOMPARE(seen->title, boxTitle);
        QCOMPARE(seen->icon, QMessageBox::Information);
        QVERIFY(seen->text.startsWith("Please capture or load an image before "));
    }
    QVERIFY(frmScreenCapture::loaded());
    QVERIFY(v.isVisible());
}

void tst_viewer::exitClosesOnlyTheViewer()
{
    QWidget owner;
    owner.setObjectName("owner");
    owner.resize(200, 200);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    {
        frmScreenCapture& v = frmScreenCapture::instance();
        forms::ShowModal(v, owner);
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        static_cast<forms::PictureBox*>(box(v, "Picture2"))->setPicture(quadrants(40, 40, 1));
        v.Toolbar1_ButtonClick("Exit");
    }
    QTRY_VERIFY(!frmScreenCapture::loaded());
    QVERIFY(owner.isVisible());
    // The next opening starts afresh from the design.
    frmScreenCapture& again = frmScreenCapture::instance();
    QVERIFY(!forms::HasPicture(again.picture()));
}

void tst_viewer::scrollBarsFollowThePicture()
{
    frmScreenCapture& v = shown();
    auto* picture2 = box(v, "Picture2");
    // Fits: no bars, image at the viewport's corner.
    picture2->setPicture(quadrants(100, 80, v.devicePixelRatioF()));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&v, &activate);
    QVERIFY(bar(v, "HScroll1")->isHidden());
    QVERIFY(bar(v, "VScroll1")->isHidden());
    QCOMPARE(picture2->pos(), QPoint(0, 0));
    // Larger: both bars show, and the viewport narrows to make room for them.
    const int viewportWidth = box(v, "Picture1")->width();
    picture2->setPicture(quadrants(int(1000 * v.devicePixelRatioF()),
                                   int(800 * v.devicePixelRatioF()), v.devicePixelRatioF()));
    QApplication::sendEvent(&v, &activate);
    QVERIFY(!bar(v, "HScroll1")->isHidden());
    QVERIFY(!bar(v, "VScroll1")->isHidden());
    QVERIFY(box(v, "Picture1")->width() < viewportWidth);
    QCOMPARE(bar(v, "VScroll1")->x(), box(v, "Picture1")->geometry().right() + 1);
    QCOMPARE(bar(v, "HScroll1")->y(), box(v, "Picture1")->geometry().bottom() + 1);
    QCOMPARE(bar(v, "HScroll1")->width(), box(v, "Picture1")->width());
    // Smaller again: the bars go and the viewport widens back.
    picture2->setPicture(quadrants(50, 50, v.devicePixelRatioF()));
    picture2->resize(50, 50);
    QApplication::sendEvent(&v, &activate);
    QVERIFY(bar(v, "HScroll1")->isHidden());
    QVERIFY(bar(v, "VScroll1")->isHidden());
    QCOMPARE(box(v, "Picture1")->width(), viewportWidth);
}

void tst_viewer::scrollToEveryEdge()
{
    frmScreenCapture& v = shown();
    const qreal dpr = v.devicePixelRatioF();
    auto* picture1 = box(v, "Picture1");
    auto* picture2 = box(v, "Picture2");
    // Wide and tall enough that its overflow is far past 16 bits of twips.
    const QSize logical(3000, 2500);
    picture2->setPicture(quadrants(int(logical.width() * dpr), int(logical.height() * dpr), dpr));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&v, &activate);
    QScrollBar* h = bar(v, "HScroll1");
    QScrollBar* vbar = bar(v, "VScroll1");
    QVERIFY(h->maximum() > 32767);
    h->setValue(h->maximum());
    vbar->setValue(vbar->maximum());
    // The far corner shows, a few pixels in from the viewport's edges.
    const QRect shown = picture2->geometry();
    QCOMPARE(shown.right() + 1, picture1->width() - 5);
    QCOMPARE(shown.bottom() + 1, picture1->height() - 4);
    // The yellow quadrant is what the viewport shows in its bottom-right corner.
    const QImage seen
        = picture1->grab(QRect(picture1->width() - 20, picture1->height() - 20, 10, 10)).toImage();
    QCOMPARE(QColor(seen.pixel(5, 5)), QColor(Qt::yellow));
    // Between the ends the image leads the value by 4 pixels; back at 0 it is home.
    h->setValue(1500);
    QCOMPARE(picture2->x(), -qRound(1500 / forms::TwipsPerPixelX() + 4));
    h->setValue(0);
    vbar->setValue(0);
    QCOMPARE(picture2->pos(), QPoint(0, 0));
}

void tst_viewer::resizeReturnsToTopLeft()
{
    frmScreenCapture& v = shown();
    auto* picture2 = box(v, "Picture2");
    picture2->setPicture(quadrants(int(1500 * v.devicePixelRatioF()),
                                   int(1200 * v.devicePixelRatioF()), v.devicePixelRatioF()));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&v, &activate);
    bar(v, "HScroll1")->setValue(3000);
    bar(v, "VScroll1")->setValue(3000);
    QVERIFY(picture2->x() < 0 && picture2->y() < 0);
    v.resize(v.width() + 40, v.height() + 30);
    QTRY_COMPARE(picture2->pos(), QPoint(0, 0));
    QCOMPARE(bar(v, "HScroll1")->value(), 0);
    QCOMPARE(bar(v, "VScroll1")->value(), 0);
    bar(v, "HScroll1")->setValue(3000);
    QApplication::sendEvent(&v, &activate);
    QCOMPARE(picture2->pos(), QPoint(0, 0));
}

void tst_viewer::minimumSize()
{
    frmScreenCapture& v = shown();
    const double tx = forms::TwipsPerPixelX();
    const double ty = forms::TwipsPerPixelY();
    // Narrower than 3000 twips outer: back to 4000; lower than 2000: up to 2000.
    const int menu = v.height() - v.centralWidget()->height();
    v.resize(qRound(2500 / tx) - 8, qRound(1500 / ty) - 29 + menu);
    QTRY_COMPARE(v.centralWidget()->width(), forms::TwipsToPixelsX(4000 - 120));
    QTRY_COMPARE(v.centralWidget()->height(), forms::TwipsToPixelsY(2000 - 430));
    QVERIFY(box(v, "Picture1")->height() > 0);
}

void tst_viewer::fullScreenCapture()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    // Something of a known colour behind the viewer, filling the screen.
    Backdrop behind(area, QColor(10, 200, 30));
    QVERIFY(QTest::qWaitForWindowExposed(&behind));
    QWidget owner;
    owner.resize(120, 120);
    owner.move(area.topLeft());
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    frmScreenCapture& v = frmScreenCapture::instance();
    forms::ShowModal(v, owner);
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    v.move(area.center() - QPoint(200, 150));
    QTRY_COMPARE(v.pos(), area.center() - QPoint(200, 150));
    const QPoint before = v.pos();
    const QRect viewerArea = v.frameGeometry();
    QCOMPARE(QApplication::activeModalWidget(), &v);

    v.mnuFullScreen_Click();

    const forms::Picture& picture = v.picture();
    const qreal dpr = screen->devicePixelRatio();
    QCOMPARE(picture.size(), (area.size() * dpr));
    QCOMPARE(picture.devicePixelRatio(), dpr);
    // The viewer is not in its own capture: where it stood, the backdrop shows.
    const QPoint middle = viewerArea.center() * dpr;
    QCOMPARE(QColor(picture.pixel(middle)), QColor(10, 200, 30));
    QCOMPARE(QColor(picture.pixel(QPoint(viewerArea.topLeft() * dpr) + QPoint(3, 3))),
             QColor(10, 200, 30));
    // Back where it was, and no longer modal: the owner takes input too.
    QVERIFY(v.isVisible());
    QCOMPARE(v.pos(), before);
    QCOMPARE(v.windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    // An ordinary window now: no window manager keeps it above its former owner.
    QVERIFY(!v.parentWidget());
    QVERIFY(!v.windowHandle()->transientParent());
    // The capture is larger than the viewport: both bars show.
    QVERIFY(!bar(v, "HScroll1")->isHidden());
    QVERIFY(!bar(v, "VScroll1")->isHidden());
    QVERIFY(v.lastHideWait() <= frmScreenCapture::kHideTimeout + std::chrono::milliseconds(100));
    v.close();
}

void tst_viewer::noSourceExplains_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("full screen") << "Capture2";
    QTest::newRow("rectangle") << "Capture1";
}

// Where nothing can read the screen, either capture says so and the picture stays.
void tst_viewer::noSourceExplains()
{
    QFETCH(QString, key);
    frmScreenCapture& v = shown();
    v.Toolbar1_ButtonClick(QStringLiteral("Capture2"));
    const qint64 before = v.picture().cacheKey();
    QVERIFY(!v.picture().isNull());

    capture::OverrideScreenSource(capture::CaptureSource::None);
    const auto restore = qScopeGuard([] { capture::OverrideScreenSource(std::nullopt); });
    auto seen = expectMessageBox();
    v.Toolbar1_ButtonClick(key);
    QTRY_VERIFY(seen->shown);
    QCOMPARE(seen->text,
             QStringLiteral("Screen capture is not available: ") + capture::NoSourceReason());
    QTRY_VERIFY(v.isVisible());
    QCOMPARE(v.picture().cacheKey(), before);
}

void tst_viewer::clipboardReadBack()
{
    if (QStandardPaths::findExecutable("xclip").isEmpty())
        QSKIP("xclip is not installed");
    frmScreenCapture& v = shown();
    const QImage image = quadrants(64, 48, 1);
    box(v, "Picture2")->setPicture(image);
    auto seen = expectMessageBox();
    v.Toolbar1_ButtonClick("Copy");
    QVERIFY(seen->shown);
    QCOMPARE(seen->title, QStringLiteral("Copy Image to Clipboard"));
    QCOMPARE(seen->text,
             QStringLiteral("Image saved to Windows clipboard.  Use Paste or CTL+V in another "
                            "application, such as Word, to paste image from clipboard."));
    // Another X client pastes it while we keep serving the clipboard.
    const ClipboardRead read = ReadClipboardAsAnotherClient(QStringLiteral("image/png"));
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QImage pasted;
    QVERIFY(pasted.loadFromData(read.data, "PNG"));
    QCOMPARE(pasted.size(), image.size());
    QCOMPARE(pasted.convertToFormat(QImage::Format_RGB32), image);
}

// Registered against a 3840 x 2160 screen of its own (viewer.cmake).
void tst_viewer::fourKCaptureScrollsToFarCorner()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize device = screen->geometry().size() * screen->devicePixelRatio();
    if (device.width() < 3840 || device.height() < 2160)
        ZARNEL_NOT_IN_THIS_RUN("needs a 3840 x 2160 screen");
    const QRect area = screen->geometry();
    Backdrop first(QRect(area.topLeft(), QSize(40, 40)), QColor(0, 200, 200));
    Backdrop last(QRect(area.bottomRight() - QPoint(39, 39), QSize(40, 40)), QColor(200, 0, 200));
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    QVERIFY(QTest::qWaitForWindowExposed(&last));
    frmScreenCapture& v = shown();
    v.mnuFullScreen_Click();
    QCOMPARE(v.picture().size(), device);

    auto* picture1 = box(v, "Picture1");
    QScrollBar* h = bar(v, "HScroll1");
    QScrollBar* vbar = bar(v, "VScroll1");
    QVERIFY(!h->isHidden() && !vbar->isHidden());
    if (screen->devicePixelRatio() == 1)
        QVERIFY(h->maximum() > 32767); // 3840 pixels are 57600 twips
    h->setValue(h->maximum());
    vbar->setValue(vbar->maximum());
    const QPoint corner(picture1->width() - 5 - 10, picture1->height() - 4 - 10);
    QCOMPARE(QColor(picture1->grab(QRect(corner, QSize(4, 4))).toImage().pixel(1, 1)),
             QColor(200, 0, 200));
    // The image's last pixel is the last one the viewport shows before its margin.
    QCOMPARE(box(v, "Picture2")->geometry().bottomRight(),
             QPoint(picture1->width() - 6, picture1->height() - 5));
    h->setValue(0);
    vbar->setValue(0);
    QCOMPARE(QColor(picture1->grab(QRect(5, 5, 4, 4)).toImage().pixel(1, 1)), QColor(0, 200, 200));
}

QTEST_MAIN(tst_viewer)
#include "tst_viewer.moc"
