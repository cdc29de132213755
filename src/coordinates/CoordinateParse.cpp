#include "coordinates/CoordinateParse.h"

#include "coordinates/CoordinateText.h"

#include <QRegularExpression>

#include <algorithm>

namespace coordinates {
namespace {

constexpr float kPlaneRight = 1200.0f;
constexpr float kPlaneBottom = 600.0f;
constexpr int kQuotedLength = 40; // a longer line is cut short in the message

// One coordinate line: "(x, y)", blanks allowed around the parentheses and the numbers.
QRegularExpression linePattern(const QLocale& locale)
{
    const QString point = QRegularExpression::escape(locale.decimalPoint());
    const QString number = QStringLiteral("(-?[0-9]+(?:%1[0-9]+)?(?:[eE][-+]?[0-9]+)?)").arg(point);
    // Where the decimal separator is a comma, only the blank after it marks the comma
    // between x and y.
    const QString between = locale.decimalPoint() == QLatin1String(",")
                                ? QStringLiteral("\\s*,\\s+")
                                : QStringLiteral("\\s*,\\s*");
    return QRegularExpression(QStringLiteral("^\\s*\\(\\s*") + number + between + number
                              + QStringLiteral("\\s*\\)\\s*$"));
}

// The lines as the list shows them: the file's lines, each split where the clipboard
// joins two of them ("),(").
QStringList coordinateLines(const QString& text)
{
    QStringList rows = text.split(QLatin1Char('\n'));
    for (QString& row : rows) {
        if (row.endsWith(QLatin1Char('\r')))
            row.chop(1);
    }
    while (!rows.isEmpty() && rows.back().trimmed().isEmpty())
        rows.removeLast(); // the end of the last line, or blank lines after it
    static const QRegularExpression joint(QStringLiteral("(?<=\\))\\s*,\\s*(?=\\()"));
    QStringList lines;
    for (const QString& row : rows)
        lines += row.split(joint);
    return lines;
}

double number(const QString& text, const QLocale& locale)
{
    QString plain = text;
    plain.replace(locale.decimalPoint(), QStringLiteral("."));
    return QLocale::c().toDouble(plain);
}

QString quoted(const QString& text)
{
    const QString shown
        = text.size() > kQuotedLength ? text.left(kQuotedLength) + QChar(0x2026) : text;
    return QChar(0x201c) + shown + QChar(0x201d);
}

} // namespace

ListReading ReadCoordinateList(const QString& text, const QLocale& locale)
{
    ListReading reading;
    const QStringList lines = coordinateLines(text);
    if (lines.isEmpty()) {
        reading.fault = ListFault::Empty;
        return reading;
    }
    const auto fail = [&](ListFault fault, int index) {
        reading.fault = fault;
        reading.line = index + 1;
        reading.text = lines[index].trimmed();
        reading.points.clear();
        return reading;
    };

    const QRegularExpression pattern = linePattern(locale);
    reading.points.reserve(std::min<qsizetype>(lines.size(), kMaxListPoints));
    for (int i = 0; i < lines.size(); ++i) {
        if (i == kMaxListPoints)
            return fail(ListFault::TooManyPoints, i);
        const QRegularExpressionMatch match = pattern.match(lines[i]);
        if (!match.hasMatch())
            return fail(ListFault::NotACoordinate, i);
        const float X = DrawingX(number(match.captured(1), locale));
        const float Y = DrawingY(number(match.captured(2), locale));
        // Written this way, NaN counts as off the plane too.
        if (!(X >= 0.0f && X <= kPlaneRight && Y >= 0.0f && Y <= kPlaneBottom))
            return fail(ListFault::OffThePlane, i);
        reading.points.push_back(plotter::Vertex {X, Y});
    }
    return reading;
}

QString ListFaultText(const ListReading& reading, const QLocale& locale)
{
    const QString line = locale.toString(reading.line);
    switch (reading.fault) {
    case ListFault::None:
        return QString();
    case ListFault::Empty:
        return QStringLiteral("It holds no coordinates.");
    case ListFault::NotACoordinate:
        return QStringLiteral("Line %1, %2, is not a coordinate such as %3.")
            .arg(line, quoted(reading.text), CoordinateText(plotter::Vertex {165, 330}, locale));
    case ListFault::OffThePlane:
        return QStringLiteral("Line %1, %2, lies off the plane, which runs from -5 to 35 across "
                              "and from -5 to 15 up.")
            .arg(line, quoted(reading.text));
    case ListFault::TooManyPoints:
        return QStringLiteral("Line %1 is one point too many: a list holds at most %2 points.")
            .arg(line, locale.toString(kMaxListPoints));
    case ListFault::ClosesEarly:
        return QStringLiteral("Line %1, %2, lands on the first point and would close the polygon "
                              "before the last line.")
            .arg(line, quoted(reading.text));
    }
    return QString();
}

} // namespace coordinates
