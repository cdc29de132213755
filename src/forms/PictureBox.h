#pragma once

#include "forms/Picture.h"

#include <QColor>
#include <QWidget>

#include <vector>

namespace forms {

class LineControl;

// Shows a picture unscaled at its top-left corner (one image pixel per device pixel:
// the picture's devicePixelRatio says how many device pixels make a logical one).
// With AutoSize the box takes the picture's size. Line controls added to it are drawn
// above the picture.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    const Picture& picture() const { return picture_; }
    void setPicture(const Picture& picture);

    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& color);

    // 0 default pointer, 2 crosshair.
    void setMousePointer(int pointer);

    // Line controls the box paints above its picture; they stay owned by the caller.
    void addLine(LineControl& line);
    // Stops painting a line added before (its owner is going away).
    void removeLine(LineControl& line);
    const std::vector<LineControl*>& lines() const { return lines_; }

    // The picture as the box shows it: transparent parts take the back colour.
    Picture Image() const;

    // Image pixels per logical pixel of this box (the picture's device pixel ratio).
    qreal pixelRatio() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Picture picture_;
    QColor backColor_;
    std::vector<LineControl*> lines_;
    bool autoSize_ = false;
};

} // namespace forms
