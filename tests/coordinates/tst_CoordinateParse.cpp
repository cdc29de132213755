// Reading a coordinate list back: the forms the list writes, what is refused and why, and that
// every line the list can write reads back as the vertex it came from.
#include "coordinates/CoordinateParse.h"
#include "coordinates/CoordinateText.h"

#include <QtTest>

using coordinates::ListFault;
using Vertices = std::vector<plotter::Vertex>; // drawing units
Q_DECLARE_METATYPE(ListFault)
Q_DECLARE_METATYPE(Vertices)

namespace {
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
QString points(int count)
{
    return QStringList(count, QStringLiteral("(1, 2)")).join(',');
}
} // namespace

class tst_CoordinateParse : public QObject {
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<ListFault>("fault");
        QTest::addColumn<int>("line");
        QTest::addColumn<Vertices>("vertices");
        QTest::addColumn<QString>("said"); // part of what the user is told
        const Vertices triangle {{150, 450}, {240, 450}, {240, 330}};
        const auto ok = ListFault::None, bad = ListFault::NotACoordinate;
        QTest::newRow("file, blanks") << kEnglish << "(0, 0)\r\n ( 3 , 0 ) \n(3,4)\r\n\r\n"
                                      << ok << 0 << triangle << "";
        QTest::newRow("German") << kGerman << "(0,5, -0,25),(-5, 15)\n(35, 4,8)" << ok << 0
                                << Vertices {{165, 457.5}, {0, 0}, {1200, 306}} << "";
        QTest::newRow("most points")
            << kEnglish << points(32767) << ok << 0 << Vertices(32767, {180, 390}) << "";
        QTest::newRow("nothing") << kEnglish << " \r\n"
                                 << ListFault::Empty << 0 << Vertices() << "no coordinates";
        QTest::newRow("blank line inside")
            << kEnglish << "(0, 0)\n\n(3, 4)" << bad << 2 << Vertices() << "Line 2";
        QTest::newRow("German, no blank")
            << kGerman << "(0,5,3)" << bad << 1 << Vertices() << "such as (0,5, 4)";
        QTest::newRow("decimal comma in English")
            << kEnglish << "(0,5, 3)" << bad << 1 << Vertices() << "";
        QTest::newRow("below the plane")
            << kGerman << "(0, -5,2)" << ListFault::OffThePlane << 1 << Vertices() << "";
    }

    void reads()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(ListFault, fault);
        QFETCH(int, line);
        QFETCH(Vertices, vertices);
        QFETCH(QString, said);
        const coordinates::ListReading reading = coordinates::ReadCoordinateList(text, locale);
        QCOMPARE(reading.fault, fault);
        QCOMPARE(reading.line, line);
        QCOMPARE(reading.points, vertices);
        QVERIFY(coordinates::ListFaultText(reading, locale).contains(said));
    }

    // Every point each grid reaches, as the list writes it, reads back as that vertex.
    void everyListedVertexReadsBack()
    {
        for (const QLocale& locale : {kEnglish, kGerman}) {
            for (const float spacing : {30.0f, 15.0f, 7.5f, 6.0f}) {
                Vertices vertices;
                QStringList lines;
                for (float Y = 0; Y <= 600.0f; Y += spacing) {
                    for (float X = Y / 100; X <= 1200.0f; X += spacing * 7) {
                        vertices.push_back({spacing * std::nearbyint(X / spacing), Y});
                        lines << coordinates::CoordinateText(vertices.back(), locale);
                    }
                }
                QCOMPARE(coordinates::ReadCoordinateList(lines.join(','), locale).points, vertices);
                QCOMPARE(coordinates::ReadCoordinateList(lines.join("\r\n"), locale).points,
                         vertices);
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_CoordinateParse)
#include "tst_CoordinateParse.moc"
