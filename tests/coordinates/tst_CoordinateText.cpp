#include "coordinates/CoordinateText.h"

#include <QtTest>

using coordinates::CoordinateText;
using coordinates::JoinCoordinateLines;
using coordinates::PlaneNumberText;
using plotter::Vertex;

class tst_CoordinateText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void lineOfVertex_data();
    void lineOfVertex();
    void everySnappedPointIsShort_data();
    void everySnappedPointIsShort();
    void followsTheLocale_data();
    void followsTheLocale();
    void joinedLines_data();
    void joinedLines();
};

void tst_CoordinateText::lineOfVertex_data()
{
    QTest::addColumn<float>("X");
    QTest::addColumn<float>("Y");
    QTest::addColumn<QString>("line");

    QTest::newRow("origin") << 150.0f << 450.0f << "(0, 0)";
    QTest::newRow("three four") << 240.0f << 330.0f << "(3, 4)";
    QTest::newRow("fifths") << 156.0f << 444.0f << "(0.2, 0.2)";
    QTest::newRow("bottom left corner") << 0.0f << 600.0f << "(-5, -5)";
    QTest::newRow("top right corner") << 1200.0f << 0.0f << "(35, 15)";
    QTest::newRow("quarters") << 157.5f << 442.5f << "(0.25, 0.25)";
    QTest::newRow("negative quarters") << 142.5f << 457.5f << "(-0.25, -0.25)";
    QTest::newRow("halves") << 165.0f << 435.0f << "(0.5, 0.5)";
    QTest::newRow("negative fifths") << 6.0f << 594.0f << "(-4.8, -4.8)";
    QTest::newRow("on the y axis below the x axis") << 150.0f << 594.0f << "(0, -4.8)";
    QTest::newRow("long fraction keeps seven digits")
        << 151.0f << 451.0f << "(0.03333334, -0.03333334)";
    QTest::newRow("beyond the plane no grouping") << 30150.0f << 450.0f << "(1000, 0)";
}

// Each line is "(x, y)" with x = X/30 - 5 and y = 15 - Y/30 as 32-bit floats in
// general form: no trailing zeros, no exponent, no group separator.
void tst_CoordinateText::lineOfVertex()
{
    QFETCH(float, X);
    QFETCH(float, Y);
    QFETCH(QString, line);
    QCOMPARE(CoordinateText(Vertex {X, Y}), line);
}

void tst_CoordinateText::everySnappedPointIsShort_data()
{
    QTest::addColumn<double>("spacing");
    QTest::newRow("whole cells") << 30.0;
    QTest::newRow("half cells") << 15.0;
    QTest::newRow("quarter cells") << 7.5;
    QTest::newRow("fifth cells") << 6.0;
}

// Every point the grid can snap to gives a short decimal that reads back as the same float:
// at most two decimals, never an exponent, a trailing zero or a trailing point.
void tst_CoordinateText::everySnappedPointIsShort()
{
    QFETCH(double, spacing);
    const QRegularExpression shape(QStringLiteral("^-?(0|[1-9][0-9]?)(\\.[0-9]?[1-9])?$"));
    for (double at = 0; at <= 1200.0; at += spacing) {
        const float X = static_cast<float>(at);
        const float x = coordinates::PlaneX(X);
        const QString text = PlaneNumberText(x);
        QVERIFY2(shape.match(text).hasMatch(), qPrintable(text));
        QCOMPARE(text.toFloat(), x);
        // The same number the y formula gives for a point as far from its axis.
        if (at <= 600.0) {
            const float y = coordinates::PlaneY(X);
            const QString yText = PlaneNumberText(y);
            QVERIFY2(shape.match(yText).hasMatch(), qPrintable(yText));
            QCOMPARE(yText.toFloat(), y);
        }
    }
}

void tst_CoordinateText::followsTheLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<float>("X");
    QTest::addColumn<QString>("line");

    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("comma decimal separator") << german << 156.0f << "(0,2, 0,2)";
    QTest::newRow("point decimal separator") << english << 156.0f << "(0.2, 0.2)";
    QTest::newRow("no dot grouping") << german << 30156.0f << "(1000,2, 0,2)";
    QTest::newRow("no comma grouping") << english << 60150.0f << "(2000, 0.2)";
    // Native digits and signs would make the list unreadable to other programs.
    const QLocale arabic(QLocale::Arabic, QLocale::Egypt);
    const QLocale persian(QLocale::Persian, QLocale::Iran);
    QTest::newRow("ascii digits") << arabic << 156.0f
                                  << QStringLiteral("(0") + arabic.decimalPoint() + "2, 0"
                                         + arabic.decimalPoint() + "2)";
    QTest::newRow("ascii minus") << persian << 0.0f
                                 << QStringLiteral("(-5, 0") + persian.decimalPoint() + "2)";
}

void tst_CoordinateText::followsTheLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(float, X);
    QFETCH(QString, line);
    QCOMPARE(CoordinateText(Vertex {X, 444.0f}, locale), line);
}

void tst_CoordinateText::joinedLines_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("joined");
    QTest::newRow("empty list") << QStringList() << QString();
    QTest::newRow("one line") << QStringList {"(0, 0)"} << "(0, 0)";
    QTest::newRow("triangle") << QStringList {"(0, 0)", "(3, 0)", "(3, 4)"}
                              << "(0, 0),(3, 0),(3, 4)";
}

void tst_CoordinateText::joinedLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, joined);
    QCOMPARE(JoinCoordinateLines(lines), joined);
}

QTEST_GUILESS_MAIN(tst_CoordinateText)
#include "tst_CoordinateText.moc"
