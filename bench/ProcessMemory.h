#pragma once

// This process's memory as the kernel counts it, for the benchmarks' peak figures.

#include <QByteArray>
#include <QFile>

namespace benchmem {

// A field of /proc/self/status in KiB ("VmRSS:" now, "VmHWM:" the peak), or -1.
inline long statusKiB(const char* field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Starts the peak (VmHWM) afresh from the present resident size.
inline void resetPeak()
{
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

} // namespace benchmem
