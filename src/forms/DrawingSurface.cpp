#include "forms/DrawingSurface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace forms {

DrawingSurface::DrawingSurface(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
}

DrawingSurface::~DrawingSurface() = default;

void DrawingSurface::setDrawWidth(int width)
{
    drawWidth_ = std::max(1, width);
}

QPen DrawingSurface::pen(const QColor& color) const
{
    return QPen(color, drawWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

template <class Paint> void DrawingSurface::draw(Paint&& paint)
{
    ensureImage();
    if (batch_) {
        paint(*batch_);
        return;
    }
    QPainter painter(&image_);
    confine(painter);
    paint(painter);
}

void DrawingSurface::Line(QPointF from, QPointF to, const QColor& color)
{
    draw([&](QPainter& painter) {
        painter.setPen(pen(color));
        painter.drawLine(from, to);
    });
    touched(QRectF(from, to).normalized());
}

void DrawingSurface::PSet(QPointF at, const QColor& color)
{
    draw([&](QPainter& painter) {
        painter.setPen(pen(color));
        painter.drawPoint(at);
    });
    touched(QRectF(at, at));
}

void DrawingSurface::Print(const QString& text)
{
    const QFontMetricsF metrics(font());
    const QRectF box(current_, QSizeF(metrics.horizontalAdvance(text) + 1, metrics.height()));
    draw([&](QPainter& painter) {
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    });
    touched(box);
    current_.setY(current_.y() + metrics.height());
}

void DrawingSurface::Cls()
{
    const QColor background = palette().color(backgroundRole());
    if (clip_.isEmpty() && !batch_) {
        ensureImage();
        image_.fill(background);
        scheduleRepaint(rect());
        return;
    }
    draw([&](QPainter& painter) {
        painter.fillRect(clip_.isEmpty() ? rect() : clip_.boundingRect(), background);
    });
    scheduleRepaint(clip_.isEmpty() ? QRegion(rect()) : clip_);
}

void DrawingSurface::setDrawClip(const QRegion& area)
{
    clip_ = area;
    if (batch_)
        batch_->setClipRegion(clip_, clip_.isEmpty() ? Qt::NoClip : Qt::ReplaceClip);
}

void DrawingSurface::confine(QPainter& painter) const
{
    if (!clip_.isEmpty())
        painter.setClipRegion(clip_);
}

DrawingSurface::Batch::Batch(DrawingSurface& surface, std::optional<QRegion> repaint)
    : surface_(surface)
{
    surface_.batchRepaint_ = std::move(repaint);
    surface_.ensureImage();
    surface_.batch_ = std::make_unique<QPainter>(&surface_.image_);
    surface_.confine(*surface_.batch_);
}

DrawingSurface::Batch::~Batch()
{
    surface_.batch_.reset();
    if (surface_.batchRepaint_)
        surface_.update(*std::exchange(surface_.batchRepaint_, std::nullopt));
}

void DrawingSurface::ensureImage()
{
    const qreal dpr = devicePixelRatioF();
    const QSize wanted = (QSizeF(size()) * dpr).toSize();
    if (image_.size() == wanted && image_.devicePixelRatio() == dpr)
        return;
    QImage grown(wanted, QImage::Format_RGB32);
    grown.setDevicePixelRatio(dpr);
    grown.fill(palette().color(backgroundRole()));
    if (!image_.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(QPointF(0, 0), image_);
    }
    image_ = std::move(grown);
}

void DrawingSurface::touched(const QRectF& rect)
{
    const int pad = drawWidth_ + 1;
    const QRect padded = rect.toAlignedRect().adjusted(-pad, -pad, pad, pad);
    scheduleRepaint(clip_.isEmpty() ? QRegion(padded) : clip_.intersected(padded));
}

void DrawingSurface::scheduleRepaint(const QRegion& area)
{
    if (!batchRepaint_)
        update(area);
}

void DrawingSurface::paintEvent(QPaintEvent* event)
{
    ensureImage();
    QPainter painter(this);
    const qreal dpr = image_.devicePixelRatio();
    for (const QRect& dirty : event->region()) {
        const QRect source(QPoint(std::floor(dirty.left() * dpr), std::floor(dirty.top() * dpr)),
                           QPoint(std::ceil((dirty.right() + 1) * dpr) - 1,
                                  std::ceil((dirty.bottom() + 1) * dpr) - 1));
        painter.drawImage(QRectF(dirty), image_, QRectF(source));
    }
    paintAbove(painter, event->rect());
}

void DrawingSurface::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureImage();
}

void DrawingSurface::paintAbove(QPainter&, const QRect&)
{
}

} // namespace forms
