// The page that goes to the printer, for a picture much larger than the page: only the part
// that lands on the page is embedded, against a baseline that embeds the whole picture and
// lets the clip cut it.
#include "capture/printing/PicturePrinting.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr int kResolution = 1200;

QImage ScreenSizedPicture()
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 7) & 0xff, (y * 3) & 0xff, ((x ^ y) * 5) & 0xff);
    }
    return image;
}

template <class Paint> void RunPage(benchmark::State& state, Paint paint)
{
    const QImage picture = ScreenSizedPicture();
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setResolution(kResolution);
            writer.setPageLayout(
                QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
            QPainter painter(&writer);
            paint(painter, QSizeF(writer.width(), writer.height()), picture);
        }
        bytes = buffer.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}

void BM_PageEmbeddingWholePicture(benchmark::State& state)
{
    RunPage(state, [](QPainter& painter, QSizeF page, const QImage& picture) {
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.setClipRect(QRectF(QPointF(0, 0), page));
        painter.scale(kResolution / capture::kScreenDpi, kResolution / capture::kScreenDpi);
        painter.drawImage(QPointF(0, 0), picture);
    });
}

void BM_PageEmbeddingVisiblePart(benchmark::State& state)
{
    RunPage(state, [](QPainter& painter, QSizeF page, const QImage& picture) {
        capture::PaintPictureAtScreenScale(painter, page, kResolution, picture);
    });
}

BENCHMARK(BM_PageEmbeddingWholePicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageEmbeddingVisiblePart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
