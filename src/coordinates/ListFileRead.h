#pragma once

#include <QString>

namespace coordinates {

// A list file is never larger than this: 32,767 of the longest lines take about 800 KB.
inline constexpr qint64 kMaxListFileBytes = 1024 * 1024;

// The text of a list file (in the local 8-bit encoding the list writes), or why there is
// none: not a regular file, larger than kMaxListFileBytes, or not readable.
struct ListFileText {
    QString text;
    QString error; // empty when the text was read
};
ListFileText ReadListFile(const QString& path);

} // namespace coordinates
