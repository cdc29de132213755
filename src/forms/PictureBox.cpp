#include "forms/PictureBox.h"

#include "forms/LineControl.h"

#include <QPaintEvent>
#include <QPainter>

namespace forms {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    backColor_ = palette().color(QPalette::Base);
}

void PictureBox::setPicture(const Picture& picture)
{
    picture_ = picture;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize());
    update();
}

void PictureBox::setAutoSize(bool on)
{
    autoSize_ = on;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.deviceIndependentSize().toSize());
}

void PictureBox::setBackColor(const QColor& color)
{
    backColor_ = color;
    update();
}

void PictureBox::setMousePointer(int pointer)
{
    if (pointer == 2)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

void PictureBox::addLine(LineControl& line)
{
    lines_.push_back(&line);
}

void PictureBox::removeLine(LineControl& line)
{
    if (line.isVisible())
        update(line.region());
    std::erase(lines_, &line);
}

Picture PictureBox::Image() const
{
    if (picture_.isNull() || !picture_.hasAlphaChannel())
        return picture_;
    Picture shown(picture_.size(), QImage::Format_RGB32);
    shown.setDevicePixelRatio(picture_.devicePixelRatio());
    shown.fill(backColor_);
    QPainter painter(&shown);
    painter.drawImage(QPointF(0, 0), picture_);
    return shown;
}

qreal PictureBox::pixelRatio() const
{
    return picture_.isNull() ? devicePixelRatioF() : picture_.devicePixelRatio();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect shown = picture_.isNull()
                            ? QRect()
                            : QRect(QPoint(0, 0), picture_.deviceIndependentSize().toSize());
    const qreal dpr = picture_.devicePixelRatio();
    // A picture with transparent parts shows the back colour through them, never what the
    // box showed before; an opaque one needs the back colour only where it does not reach.
    const bool seeThrough = picture_.hasAlphaChannel();
    for (const QRect& dirty : event->region()) {
        const QRect covered = dirty & shown;
        for (const QRect& bare : seeThrough ? QRegion(dirty) : QRegion(dirty) - covered)
            painter.fillRect(bare, backColor_);
        if (!covered.isEmpty()) {
            const QRectF source(covered.x() * dpr, covered.y() * dpr, covered.width() * dpr,
                                covered.height() * dpr);
            painter.drawImage(QRectF(covered), picture_, source);
        }
    }
    for (const LineControl* line : lines_)
        line->paint(painter);
}

} // namespace forms
