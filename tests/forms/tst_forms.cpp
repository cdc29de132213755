#include "forms/DrawingSurface.h"
#include "forms/FormInstance.h"
#include "forms/LineControl.h"
#include "forms/MsgBox.h"
#include "forms/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

class Window : public QWidget {
public:
    Window() { resize(200, 100); }
};

// A surface that paints one line control above its retained drawing.
class Surface : public forms::DrawingSurface {
public:
    Surface()
        : band(*this)
    {
        setFixedSize(300, 200);
        band.setBorderColor(QColor(192, 0, 192));
        band.setBorderWidth(2);
    }
    forms::LineControl band;

protected:
    void paintAbove(QPainter& painter, const QRect&) override { band.paint(painter); }
};

// Reads and accepts the next modal message box.
struct BoxReader {
    QString text;
    QString title;
    void arm()
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            text = box->text();
            title = box->windowTitle();
            box->accept();
        });
    }
};

} // namespace

class tst_forms : public QObject {
    Q_OBJECT
private slots:
    void twipsAtTheScreensDpi()
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double expected = 1440.0 / screen->logicalDotsPerInchX();
        QCOMPARE(forms::TwipsPerPixelX(), expected);
        QCOMPARE(forms::ScreenWidthTwips(), screen->geometry().width() * expected);
        QCOMPARE(forms::TwipsToPixelsX(forms::ScreenWidthTwips()), screen->geometry().width());
    }

    void singleInstanceIsRebuiltAfterUnload()
    {
        forms::FormInstance<Window> instance;
        QVERIFY(!instance.loaded());
        Window& first = instance.get();
        QCOMPARE(&instance.get(), &first); // reused while loaded
        first.setWindowTitle(QStringLiteral("changed"));
        forms::Unload(first);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!instance.loaded());
        QVERIFY(instance.get().windowTitle().isEmpty()); // fresh from its design
        forms::Unload(instance.get());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void modalShowBlocksTheOwnerUntilModeless()
    {
        Window owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        forms::FormInstance<Window> instance;
        Window& form = instance.get();
        forms::ShowModal(form, owner);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.parentWidget(), &owner);
        QVERIFY(form.isWindow());
        QCOMPARE(QApplication::activeModalWidget(), &form);
        // The owner takes no input: a click on it is refused while the form is modal.
        QVERIFY(!QApplication::activeModalWidget()->isAncestorOf(&owner));
        QVERIFY(form.isModal());

        forms::ShowModeless(form);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowModality(), Qt::NonModal);
        QVERIFY(!QApplication::activeModalWidget());
        forms::Unload(form);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void messageBoxTitles()
    {
        BoxReader untitled;
        untitled.arm();
        forms::MsgBox(QStringLiteral("List Saved"));
        QCOMPARE(untitled.text, QStringLiteral("List Saved"));
        QCOMPARE(untitled.title, QStringLiteral("Tavrin"));

        BoxReader titled;
        titled.arm();
        forms::MsgBox(QStringLiteral("Please"), forms::vbInformation, QStringLiteral("Nothing"));
        QCOMPARE(titled.text, QStringLiteral("Please"));
        QCOMPARE(titled.title, QStringLiteral("Nothing"));
    }

    void retainedDrawingSurvivesRepaints()
    {
        Surface surface;
        surface.setDrawWidth(1);
        surface.Line(QPointF(10, 50), QPointF(290, 50), Qt::black); // drawn before showing
        surface.setCurrentX(20);
        surface.setCurrentY(60);
        surface.Print(QStringLiteral("x"));
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));
        const qreal dpr = surface.retainedImage().devicePixelRatio();
        QCOMPARE(dpr, surface.devicePixelRatioF());
        QCOMPARE(surface.retainedImage().size(), (QSizeF(300, 200) * dpr).toSize());

        const QImage shown = surface.grab().toImage();
        QCOMPARE(shown.pixelColor(qRound(150 * dpr), qRound(50 * dpr)), QColor(Qt::black));
        bool text = false;
        for (int y = qRound(60 * dpr); y < qRound(75 * dpr) && !text; ++y)
            for (int x = qRound(20 * dpr); x < qRound(30 * dpr) && !text; ++x)
                text = shown.pixelColor(x, y) != surface.palette().color(QPalette::Window);
        QVERIFY(text);
        QCOMPARE(surface.CurrentX(), 20.0);
        QVERIFY(surface.CurrentY() > 60); // the next Print goes below

        surface.Cls();
        QCOMPARE(surface.grab().toImage().pixelColor(qRound(150 * dpr), qRound(50 * dpr)),
                 surface.palette().color(QPalette::Window));
    }

    void lineControlStaysAboveAndRepaintsItsStrips()
    {
        Surface surface;
        surface.band.setLine(QLineF(10, 10, 290, 190));
        QVERIFY(surface.band.region().isEmpty()); // hidden: covers nothing
        surface.band.setVisible(true);

        // A long diagonal covers strips along itself, far less than its bounding box.
        const QRegion strips = surface.band.region();
        qint64 area = 0;
        for (const QRect& r : strips)
            area += qint64(r.width()) * r.height();
        QVERIFY(area < 280 * 180 / 3);
        for (double t : {0.0, 0.25, 0.5, 0.75, 1.0})
            QVERIFY(strips.contains(surface.band.line().pointAt(t).toPoint()));
        QVERIFY(!strips.contains(QPoint(280, 20)));

        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));
        const qreal dpr = surface.devicePixelRatioF();
        const QImage shown = surface.grab().toImage();
        QCOMPARE(shown.pixelColor(qRound(150 * dpr), qRound(100 * dpr)), QColor(192, 0, 192));
        // Never part of the retained drawing.
        QVERIFY(surface.retainedImage().pixelColor(qRound(150 * dpr), qRound(100 * dpr))
                != QColor(192, 0, 192));
    }
};

QTEST_MAIN(tst_forms)
#include "tst_forms.moc"
