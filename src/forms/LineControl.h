#pragma once

#include <QColor>
#include <QLineF>
#include <QRegion>

class QPainter;
class QWidget;

namespace forms {

// A straight line drawn by its host widget above the host's own content and never
// part of it. Every change repaints only the strips the line covered before and after.
class LineControl {
public:
    explicit LineControl(QWidget& host);

    double X1() const { return line_.x1(); }
    double Y1() const { return line_.y1(); }
    double X2() const { return line_.x2(); }
    double Y2() const { return line_.y2(); }
    void setX1(double v) { setLine(QLineF(v, line_.y1(), line_.x2(), line_.y2())); }
    void setY1(double v) { setLine(QLineF(line_.x1(), v, line_.x2(), line_.y2())); }
    void setX2(double v) { setLine(QLineF(line_.x1(), line_.y1(), v, line_.y2())); }
    void setY2(double v) { setLine(QLineF(line_.x1(), line_.y1(), line_.x2(), v)); }
    void setLine(const QLineF& line);
    const QLineF& line() const { return line_; }

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    QColor borderColor() const { return color_; }
    void setBorderColor(const QColor& color);
    int borderWidth() const { return width_; }
    void setBorderWidth(int width);
    Qt::PenStyle borderStyle() const { return style_; }
    void setBorderStyle(Qt::PenStyle style);

    // Draws the line if visible; the host calls this from its paintEvent.
    void paint(QPainter& painter) const;

    // The area the line covers when shown (empty when hidden): thin strips along the
    // line rather than its bounding box, so a long diagonal stays cheap to repaint.
    QRegion region() const;

private:
    void changed(const QRegion& before);

    QWidget& host_;
    QLineF line_;
    QColor color_ = Qt::black;
    int width_ = 1;
    Qt::PenStyle style_ = Qt::SolidLine;
    bool visible_ = false;
};

} // namespace forms
