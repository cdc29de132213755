#include "capture/printing/CupsJob.h"

#include <cups/cups.h>

#include <QByteArray>

namespace capture {

std::optional<QString> SubmitToCups(const QString& printerName, const QString& pdfPath,
                                    const QString& jobTitle, const QString& mediaKey)
{
    // An instance ("queue/instance") only selects saved options; the job goes to the queue.
    const QByteArray queue = printerName.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray file = pdfPath.toLocal8Bit();
    const QByteArray title = jobTitle.toLocal8Bit();
    const QByteArray media = mediaKey.toLocal8Bit();

    cups_option_t* options = nullptr;
    int count = 0;
    if (!media.isEmpty())
        count = cupsAddOption("media", media.constData(), count, &options);
    count = cupsAddOption("sides", "one-sided", count, &options);

    const int job
        = cupsPrintFile(queue.constData(), file.constData(), title.constData(), count, options);
    cupsFreeOptions(count, options);
    if (job > 0)
        return std::nullopt;

    QString cause = QString::fromLocal8Bit(cupsLastErrorString());
    if (cause.isEmpty())
        cause = QStringLiteral("the print server gave no reason");
    return cause;
}

} // namespace capture
