#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

namespace testsupport {

// What a second X client (xclip) reads from the clipboard, as type (text when empty),
// while this process keeps serving it.
struct ClipboardRead {
    QByteArray data;
    QString error; // empty when it was read
};

inline ClipboardRead ReadClipboardAsAnotherClient(const QString& type = QString())
{
    QStringList args {QStringLiteral("-o"), QStringLiteral("-selection"),
                      QStringLiteral("clipboard")};
    if (!type.isEmpty())
        args << QStringLiteral("-t") << type;
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), args);
    if (!xclip.waitForStarted(5000))
        return {{}, QStringLiteral("xclip did not start")};
    QDeadlineTimer deadline(10000);
    while (xclip.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        xclip.waitForFinished(10);
    }
    if (xclip.state() != QProcess::NotRunning) {
        xclip.kill();
        xclip.waitForFinished();
        return {{}, QStringLiteral("xclip timed out")};
    }
    if (xclip.exitCode() != 0)
        return {{},
                QStringLiteral("xclip failed: %1")
                    .arg(QString::fromLocal8Bit(xclip.readAllStandardError()).trimmed())};
    return {xclip.readAllStandardOutput(), {}};
}

// The clipboard's text as another client reads it, or the reason in angle brackets.
inline QString clipboardSeenByAnotherClient()
{
    const ClipboardRead read = ReadClipboardAsAnotherClient();
    return read.error.isEmpty() ? QString::fromLocal8Bit(read.data)
                                : QLatin1Char('<') + read.error + QLatin1Char('>');
}

} // namespace testsupport
