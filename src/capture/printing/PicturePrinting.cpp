#include "capture/printing/PicturePrinting.h"

#include "capture/printing/CupsJob.h"
#include "forms/MsgBox.h"

#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>

namespace capture {

void PaintPictureAtScreenScale(QPainter& painter, const QSizeF& pageSize, int resolution,
                               const forms::Picture& picture)
{
    if (picture.isNull() || resolution <= 0)
        return;
    const double scale = resolution / kScreenDpi;
    const double dpr = picture.devicePixelRatio();

    // Only the part that can land on the page goes into the job; a partly covered last
    // column or row is kept and cut by the clip.
    const int width
        = std::min(picture.width(), static_cast<int>(std::ceil(pageSize.width() / scale * dpr)));
    const int height
        = std::min(picture.height(), static_cast<int>(std::ceil(pageSize.height() / scale * dpr)));
    if (width <= 0 || height <= 0)
        return;
    forms::Picture part = picture;
    if (width != picture.width() || height != picture.height()) {
        part = picture.copy(0, 0, width, height);
        part.setDevicePixelRatio(dpr);
    }

    painter.save();
    // Screen pictures are mostly text and edges: keep every pixel rather than JPEG them.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setClipRect(QRectF(QPointF(0, 0), pageSize));
    painter.scale(scale, scale);
    painter.drawImage(QPointF(0, 0), part);
    painter.restore();
}

std::optional<QString> PrintOnDefaultPrinter(const forms::Picture& picture, const QString& jobTitle)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        return QStringLiteral("The picture was not printed because there is no default printer. "
                              "Choose a default printer in the system's printer settings, then "
                              "print again.");
    }
    const QString name = info.printerName();

    // The printer gives the page: its default paper and its printable margins.
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid()) {
        return QStringLiteral("The picture was not printed because the default printer \"%1\" "
                              "cannot be opened.")
            .arg(name);
    }
    // Only what the printer cannot reach is left out: its own unprintable margins, not the
    // wider default margins QPrinter starts with.
    QPageLayout layout = printer.pageLayout();
    layout.setMargins(layout.minimumMargins());
    const int resolution = printer.resolution();

    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/zarnel-print-XXXXXX.pdf"));
    if (!file.open()) {
        return QStringLiteral("The picture was not printed because the page for \"%1\" could not "
                              "be prepared: %2")
            .arg(name, file.errorString());
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(jobTitle);
        writer.setCreator(forms::kAppTitle);
        writer.setResolution(resolution);
        if (!writer.setPageLayout(layout)) {
            return QStringLiteral("The picture was not printed because the printer \"%1\" reports "
                                  "a page layout that cannot be used.")
                .arg(name);
        }
        QPainter painter;
        if (!painter.begin(&writer)) {
            return QStringLiteral("The picture was not printed because the page for \"%1\" could "
                                  "not be started.")
                .arg(name);
        }
        PaintPictureAtScreenScale(painter, QSizeF(writer.width(), writer.height()),
                                  writer.resolution(), picture);
        if (!painter.end()) {
            return QStringLiteral("The picture was not printed because the page for \"%1\" could "
                                  "not be finished.")
                .arg(name);
        }
    }
    if (!file.flush()) {
        return QStringLiteral("The picture was not printed because the page for \"%1\" could not "
                              "be written: %2")
            .arg(name, file.errorString());
    }

    if (const auto refused = SubmitToCups(name, file.fileName(), jobTitle, layout.pageSize().key()))
        return QStringLiteral("The printer \"%1\" refused the picture: %2").arg(name, *refused);
    return std::nullopt;
}

} // namespace capture
