#pragma once

#include <QString>

#include <optional>

namespace capture {

// Hands a finished PDF page to a CUPS queue as one job. Returns why the queue did not take
// it (the server's own words), or nothing when the job was accepted.
std::optional<QString> SubmitToCups(const QString& printerName, const QString& pdfPath,
                                    const QString& jobTitle, const QString& mediaKey);

} // namespace capture
