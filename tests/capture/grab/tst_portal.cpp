// The portal grab's pure parts: what each answer means, and how a part of the desktop
// picture is cut out at any scale.
#include "capture/grab/PortalScreenGrab.h"

#include <QtTest>

using namespace capture::portal;

class tst_portal : public QObject {
    Q_OBJECT
private slots:
    void responses_data();
    void responses();
    void cutOut_data();
    void cutOut();
};

void tst_portal::responses_data()
{
    QTest::addColumn<uint>("response");
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<bool>("pictures"); // whether ~/Pictures exists
    QTest::addColumn<QString>("says");
    QTest::newRow("success") << 0u << "GNOME" << true << QString();
    QTest::newRow("cancelled") << 1u << "GNOME" << true << "called the request cancelled";
    // Nobody cancels a request without a dialog: KDE's portal could not save it.
    QTest::newRow("KDE, no Pictures folder")
        << 1u << "KDE" << false << "Pictures, which does not exist: create that folder";
    QTest::newRow("KDE, Pictures folder") << 1u << "KDE" << true << "cannot save one in";
    QTest::newRow("other error") << 2u << "KDE" << true << "could not take";
    QTest::newRow("unknown code") << 7u << "GNOME" << true << "could not take";
}

void tst_portal::responses()
{
    QFETCH(uint, response);
    QFETCH(QString, desktop);
    QFETCH(bool, pictures);
    QFETCH(QString, says);
    const QTemporaryDir home;
    QVERIFY(home.isValid());
    if (pictures)
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Pictures")));
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CURRENT_DESKTOP", desktop.toUtf8());
    const QString error = ResponseError(response);
    QCOMPARE(error.isEmpty(), says.isEmpty());
    QVERIFY2(error.contains(says), qPrintable(error));
}

void tst_portal::cutOut_data()
{
    QTest::addColumn<QRect>("desktop");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<QRect>("logical");
    QTest::addColumn<QRect>("device");
    const QRect hd(0, 0, 1920, 1080);
    QTest::newRow("whole, scale 1") << hd << 1.0 << hd << hd;
    QTest::newRow("part, scale 1") << hd << 1.0 << QRect(10, 20, 30, 40) << QRect(10, 20, 30, 40);
    QTest::newRow("part, scale 2") << hd << 2.0 << QRect(10, 20, 30, 40) << QRect(20, 40, 60, 80);
    QTest::newRow("edges rounded, scale 1.5")
        << hd << 1.5 << QRect(1, 1, 1, 1) << QRect(2, 2, 1, 1);
    QTest::newRow("desktop left of 0")
        << QRect(-1920, 0, 3840, 1080) << 1.0 << QRect(0, 0, 5, 5) << QRect(1920, 0, 5, 5);
    QTest::newRow("beyond the edge")
        << hd << 1.0 << QRect(1910, 1070, 20, 20) << QRect(1910, 1070, 20, 20);
}

// Each device pixel names its own position, so the cut shows where it came from; parts
// beyond the desktop are black.
void tst_portal::cutOut()
{
    QFETCH(QRect, desktop);
    QFETCH(qreal, scale);
    QFETCH(QRect, logical);
    QFETCH(QRect, device);
    QImage picture((QSizeF(desktop.size()) * scale).toSize(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x & 255, y & 255, (x >> 8) << 4 | (y >> 8)));
    const QImage part = CutOut(picture, desktop, logical);
    QCOMPARE(part.size(), device.size());
    QCOMPARE(part.devicePixelRatio(), scale);
    for (const QPoint at : {QPoint(0, 0), QPoint(part.width() - 1, part.height() - 1)}) {
        const QPoint source = device.topLeft() + at;
        const QRgb expected
            = picture.rect().contains(source) ? picture.pixel(source) : qRgb(0, 0, 0);
        QCOMPARE(part.pixel(at), expected);
    }
}

QTEST_MAIN(tst_portal)
#include "tst_portal.moc"
