#include "tst_printHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

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
    const auto out = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"),
                                                         QStringLiteral("-o")});
    return out ? out->split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList{};
}

namespace {

bool JobsPending()
{
    const auto out = RunTool(QStringLiteral("lpstat"), {QStringLiteral("-o")});
    return !out || !out->trimmed().isEmpty();
}

} // namespace

PdfFolder::PdfFolder(QString path) : path_(std::move(path)) {}

QHash<QString, PdfFolder::Stamp> PdfFolder::scan() const
{
    QHash<QString, Stamp> stamps;
    const QFileInfoList files =
        QDir(path_).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files)
        stamps.insert(file.absoluteFilePath(), Stamp{file.lastModified(), file.size()});
    return stamps;
}

void PdfFolder::snapshot() { before_ = scan(); }

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
    const QRegularExpression sizeLine(
        QStringLiteral("^Page size:\\s+([0-9.]+) x ([0-9.]+) pts"),
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
        return PdfPage{};
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

bool Near(QRgb pixel, const QColor& want, int tolerance)
{
    return std::abs(qRed(pixel) - want.red()) <= tolerance
        && std::abs(qGreen(pixel) - want.green()) <= tolerance
        && std::abs(qBlue(pixel) - want.blue()) <= tolerance;
}

bool White(QRgb pixel) { return qRed(pixel) >= 245 && qGreen(pixel) >= 245 && qBlue(pixel) >= 245; }

QString Describe(QRgb pixel)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

} // namespace

QString CheckPrintedPage(const QImage& page, QSize pictureLogicalSize, QPointF origin,
                         QRectF printable)
{
    constexpr int kTolerance = 28;
    const QRectF visible = QRectF(origin, QSizeF(pictureLogicalSize)).intersected(printable);
    if (visible.isEmpty())
        return QStringLiteral("the picture does not reach the printable area");

    // Every block that lies wholly on the page shows its own colour at its own place.
    for (int by = 0; by * kBlock < pictureLogicalSize.height(); ++by) {
        for (int bx = 0; bx * kBlock < pictureLogicalSize.width(); ++bx) {
            const QRectF block(origin + QPointF(bx * kBlock, by * kBlock),
                               QSizeF(std::min(kBlock, pictureLogicalSize.width() - bx * kBlock),
                                      std::min(kBlock, pictureLogicalSize.height() - by * kBlock)));
            if (block.width() < 12 || block.height() < 12 || !visible.contains(block))
                continue;
            const QPoint centre = block.center().toPoint();
            const QColor want = BlockColour(bx * kBlock, by * kBlock);
            for (int dy = -3; dy <= 3; dy += 3)
                for (int dx = -3; dx <= 3; dx += 3) {
                    const QRgb got = page.pixel(centre + QPoint(dx, dy));
                    if (!Near(got, want, kTolerance))
                        return QStringLiteral("block (%1, %2) at page pixel (%3, %4) is %5, "
                                              "not %6")
                            .arg(bx).arg(by)
                            .arg(centre.x() + dx).arg(centre.y() + dy)
                            .arg(Describe(got), Describe(want.rgb()));
                }
        }
    }

    // The last pixels before a cut still belong to the picture: cut, not shrunk.
    const QPoint corner(static_cast<int>(std::floor(visible.right())) - 3,
                        static_cast<int>(std::floor(visible.bottom())) - 3);
    const QPointF inPicture = QPointF(corner) - origin;
    const QColor cornerWant = BlockColour(static_cast<int>(inPicture.x()),
                                          static_cast<int>(inPicture.y()));
    if (!Near(page.pixel(corner), cornerWant, kTolerance))
        return QStringLiteral("the picture's last visible pixel at (%1, %2) is %3, not %4")
            .arg(corner.x()).arg(corner.y())
            .arg(Describe(page.pixel(corner)), Describe(cornerWant.rgb()));

    // White everywhere else (a pixel of slack for the edge's antialiasing).
    const QRectF slack = visible.adjusted(-1.5, -1.5, 1.5, 1.5);
    for (int y = 0; y < page.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if (slack.contains(QPointF(x + 0.5, y + 0.5)))
                continue;
            if (!White(line[x]))
                return QStringLiteral("page pixel (%1, %2) outside the picture is %3, not white")
                    .arg(x).arg(y).arg(Describe(line[x]));
        }
    }
    return {};
}

} // namespace printtest
