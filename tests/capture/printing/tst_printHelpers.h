#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace printtest {

// Runs a command line tool to completion; nullopt when it could not run or failed.
std::optional<QString> RunTool(const QString& program, const QStringList& arguments);

// Every job the print server in CUPS_SERVER knows, finished or not (one line each).
QStringList AllJobs();

// The folder the PDF printer writes into, as the test command exports it.
class PdfFolder {
public:
    explicit PdfFolder(QString path);

    // Remembers the PDFs there now, so later ones can be told apart.
    void snapshot();
    // Waits (bounded) until the print server has no pending job and one PDF is new or
    // rewritten since the snapshot and complete; returns its path, or empty on timeout.
    QString waitForNewPdf(int timeoutMs = 90000);

private:
    // PDFs that are new or rewritten since the snapshot.
    QStringList changedSinceSnapshot() const;

    struct Stamp {
        QDateTime modified;
        qint64 size = 0;
    };
    QHash<QString, Stamp> scan() const;

    QString path_;
    QHash<QString, Stamp> before_;
};

struct PdfPage {
    int pages = 0;
    QSizeF pageSizePoints;
    QImage rendered; // page 1 at the given resolution
};

// Reads a PDF back with pdfinfo and pdftoppm; pages == 0 when it cannot be read.
PdfPage ReadPdf(const QString& path, int dpi);

// Watches for modal message boxes while it lives, records the first and closes each one.
class MessageBoxWatcher : public QObject {
    Q_OBJECT
public:
    MessageBoxWatcher();

    int count() const { return count_; }
    QString title() const { return title_; }
    QString text() const { return text_; }
    QMessageBox::Icon icon() const { return icon_; }

private:
    void poll();

    QTimer timer_;
    int count_ = 0;
    QString title_;
    QString text_;
    QMessageBox::Icon icon_ = QMessageBox::NoIcon;
};

// A picture of solid 16 x 16 logical-pixel blocks, each of its own colour and none near white,
// so a shift, a scale or a cut shows up on the printed page.
QImage BlockPicture(QSize logicalSize, qreal devicePixelRatio = 1.0);
QColor BlockColour(int logicalX, int logicalY);
constexpr int kBlock = 16;

// Compares a page rendered at dpi (a multiple of 96) with any picture printed at origin, cut
// by printable (both in 1/96 inch): each visible picture pixel within tolerance, white around
// it. Returns what is wrong, or an empty string.
QString ComparePictureOnPage(const QImage& page, int dpi, const QImage& picture, QPointF origin,
                             QRectF printable, int tolerance);

// Readers upscale images smoothly below four page pixels per image pixel: compare at this.
constexpr int kCompareDpi = 384;

} // namespace printtest
