#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

// What a second X client reads from the clipboard, while this process keeps serving it.
inline QString clipboardSeenByAnotherClient()
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!xclip.waitForStarted(5000))
        return QStringLiteral("<xclip did not start>");
    QDeadlineTimer deadline(10000);
    while (xclip.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        xclip.waitForFinished(10);
    }
    if (xclip.state() != QProcess::NotRunning) {
        xclip.kill();
        xclip.waitForFinished();
        return QStringLiteral("<xclip timed out>");
    }
    if (xclip.exitCode() != 0)
        return QStringLiteral("<xclip failed: %1>")
            .arg(QString::fromLocal8Bit(xclip.readAllStandardError()).trimmed());
    return QString::fromLocal8Bit(xclip.readAllStandardOutput());
}

