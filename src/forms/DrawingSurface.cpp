#include "forms/DrawingSurface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace forms {

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
}

void DrawingSurface::setDrawWidth(int width)
{
    drawWidth_ = std::max(1, width);
}

QPen DrawingSurface::pen(const QColor& color) const
{
    return QPen(color, drawWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void DrawingSurface::Line(QPointF from, QPointF to, const QColor& color)
{
    ensureImage();
    QPainter painter(&image_);
    confine(painter);
    painter.setPen(pen(color));
    painter.drawLine(from, to);
    touched(QRectF(from, to).normalized());
}

void DrawingSurface::PSet(QPointF at, const QColor& color)
{
    ensureImage();
    QPainter painter(&image_);
    confine(painter);
    painter.setPen(pen(color));
    painter.drawPoint(at);
    touched(QRectF(at, at));
}

void DrawingSurface::Print(const QString& text)
{
    ensureImage();
    QPainter painter(&image_);
    confine(painter);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetricsF metrics(font());
    const QRectF box(current_, QSizeF(metrics.horizontalAdvance(text) + 1, metrics.height()));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    touched(box);
    current_.setY(current_.y() + metrics.height());
}

void DrawingSurface::Cls()
{
    ensureImage();
    if (clip_.isNull()) {
        image_.fill(palette().color(backgroundRole()));
        update();
        return;
    }
    QPainter painter(&image_);
    painter.fillRect(clip_, palette().color(backgroundRole()));
    update(clip_);
}

void DrawingSurface::confine(QPainter& painter) const
{
    if (!clip_.isNull())
        painter.setClipRect(clip_);
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
    update(clip_.isNull() ? padded : padded & clip_);
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

void DrawingSurface::paintAbove(QPainter&, const QRect&) {}

} // namespace forms
