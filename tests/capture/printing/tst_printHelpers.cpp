#include "tst_printHelpers.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace printtest {

std::optional<QString> RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QStringList AllJobs()
{
    const auto out = RunTool(QStringLiteral("lpstat"),
                             {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    return out ? out->split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList {};
}

namespace {

bool JobsPending()
{
    const auto out = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-o")});
    return !out || !out->trimmed().isEmpty();
}

} // namespace

PdfFolder::PdfFolder(QString path)
    : path_(std::move(path))
{
}

QHash<QString, PdfFolder::Stamp> PdfFolder::scan() const
{
    QHash<QString, Stamp> stamps;
    const QFileInfoList files
        = QDir(path_).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files)
        stamps.insert(file.absoluteFilePath(), Stamp {file.lastModified(), file.size()});
    return stamps;
}

void PdfFolder::snapshot()
{
    before_ = scan();
}

QStringList PdfFolder::changedSinceSnapshot() const
{
    QStringList changed;
    const auto now = scan();
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const auto old = before_.constFind(it.key());
        if (old == before_.cend() || old->modified != it->modified || old->size != it->size)
            changed << it.key();
    }
    return changed;
}

QString PdfFolder::waitForNewPdf(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (!JobsPending()) {
            const QStringList changed = changedSinceSnapshot();
            if (changed.size() == 1 && ReadPdf(changed.front(), 0).pages > 0)
                return changed.front();
        }
        QTest::qWait(200);
    }
    return {};
}

PdfPage ReadPdf(const QString& path, int dpi)
{
    PdfPage page;
    const auto info = RunTool(QStringLiteral("pdfinfo"), {path});
    if (!info)
        return page;
    const QRegularExpression pagesLine(QStringLiteral("^Pages:\\s+(\\d+)"),
                                       QRegularExpression::MultilineOption);
    const QRegularExpression sizeLine(QStringLiteral("^Page size:\\s+([0-9.]+) x ([0-9.]+) pts"),
                                      QRegularExpression::MultilineOption);
    const auto pages = pagesLine.match(*info);
    const auto size = sizeLine.match(*info);
    if (!pages.hasMatch() || !size.hasMatch())
        return page;
    page.pages = pages.captured(1).toInt();
    page.pageSizePoints = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    if (dpi <= 0)
        return page;

    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    if (!RunTool(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                  QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                  QStringLiteral("-png"), QStringLiteral("-singlefile"), path, prefix}))
        return PdfPage {};
    page.rendered = QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    return page;
}

MessageBoxWatcher::MessageBoxWatcher()
{
    connect(&timer_, &QTimer::timeout, this, &MessageBoxWatcher::poll);
    timer_.start(50);
}

void MessageBoxWatcher::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    if (count_++ == 0) {
        title_ = box->windowTitle();
        text_ = box->text();
        icon_ = box->icon();
    }
    box->accept();
}

QColor BlockColour(int logicalX, int logicalY)
{
    const int bx = logicalX / kBlock;
    const int by = logicalY / kBlock;
    return QColor(30 + (bx * 37) % 170, 30 + (by * 53) % 170, 200 - ((bx + by) * 29) % 150);
}

QImage BlockPicture(QSize logicalSize, qreal devicePixelRatio)
{
    const QSize pixels(qRound(logicalSize.width() * devicePixelRatio),
                       qRound(logicalSize.height() * devicePixelRatio));
    QImage image(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    for (int y = 0; y < logicalSize.height(); y += kBlock)
        for (int x = 0; x < logicalSize.width(); x += kBlock)
            painter.fillRect(QRect(x, y, kBlock, kBlock), BlockColour(x, y));
    return image;
}

namespace {

bool White(QRgb pixel)
{
    return qRed(pixel) >= 245 && qGreen(pixel) >= 245 && qBlue(pixel) >= 245;
}

QString Describe(QRgb pixel)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

// Every page pixel outside visible (a pixel of slack for the edge's antialiasing) is white.
QString WhiteAround(const QImage& page, const QRectF& visible, double scale = 1.0)
{
    const double edge = 1.5 * scale;
    const QRectF slack = visible.adjusted(-edge, -edge, edge, edge);
    for (int y = 0; y < page.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (slack.contains(QPointF(x + 0.5, y + 0.5)))
                continue;
            if (!White(line[x]))
                return QStringLiteral("page pixel (%1, %2) outside the picture is %3, not white")
                    .arg(x)
                    .arg(y)
                    .arg(Describe(line[x]));
        }
    }
    return {};
}

} // namespace

QString ComparePictureOnPage(const QImage& page, int dpi, const QImage& picture, QPointF origin,
                             QRectF printable, int tolerance)
{
    const qreal dpr = picture.devicePixelRatio();
    const double scale = dpi / 96.0; // page pixels per picture pixel at screen scale
    const QRectF visible = QRectF(origin, picture.deviceIndependentSize()).intersected(printable);
    if (visible.isEmpty())
        return QStringLiteral("the picture does not reach the printable area");

    // The centre of every visible picture pixel, where a reader's sub-pixel placement of the
    // image cannot blend it with its neighbours.
    int worst = 0;
    QPoint worstAt;
    const QRect logical = QRectF(visible.topLeft() - origin, visible.size()).toAlignedRect();
    for (int y = logical.top(); y <= logical.bottom(); ++y) {
        for (int x = logical.left(); x <= logical.right(); ++x) {
            const QPointF centre = (origin + QPointF(x + 0.5, y + 0.5)) * scale;
            const QPoint at(static_cast<int>(std::floor(centre.x())),
                            static_cast<int>(std::floor(centre.y())));
            const QPoint source(static_cast<int>(x * dpr), static_cast<int>(y * dpr));
            if (!page.rect().contains(at) || !picture.rect().contains(source)
                || !visible.contains(centre / scale))
                continue;
            const QRgb want = picture.pixel(source);
            const QRgb got = page.pixel(at);
            const int diff
                = std::max({std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                            std::abs(qBlue(got) - qBlue(want))});
            if (diff > worst) {
                worst = diff;
                worstAt = QPoint(x, y);
            }
        }
    }
    if (worst > tolerance)
        return QStringLiteral("picture pixel (%1, %2) is printed %3 away from its colour")
            .arg(worstAt.x())
            .arg(worstAt.y())
            .arg(worst);
    return WhiteAround(page, QRectF(visible.topLeft() * scale, visible.size() * scale), scale);
}

} // namespace printtest
