#include "forms/PictureBox.h"

#include "forms/LineControl.h"

#include <QPaintEvent>
#include <QPainter>

namespace forms {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
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
    for (const QRect& dirty : event->region()) {
        const QRect covered = dirty & shown;
        if (!covered.isEmpty()) {
            const QRectF source(covered.x() * dpr, covered.y() * dpr, covered.width() * dpr,
                                covered.height() * dpr);
            painter.drawImage(QRectF(covered), picture_, source);
        }
        // Only what the picture leaves uncovered needs the back colour.
        for (const QRect& bare : QRegion(dirty) - covered)
            painter.fillRect(bare, backColor_);
    }
    for (const LineControl* line : lines_)
        line->paint(painter);
}

} // namespace forms
