#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRegion>
#include <QWidget>

#include <memory>
#include <optional>

namespace forms {

// A widget with retained drawing: Line, PSet, Print and Cls draw into an image the
// widget keeps (at the screen's device pixel ratio) and repaints from, so the drawing
// survives being covered and can be made before the widget is first shown.
class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget* parent = nullptr);
    ~DrawingSurface() override;

    int DrawWidth() const { return drawWidth_; }
    void setDrawWidth(int width);

    double CurrentX() const { return current_.x(); }
    double CurrentY() const { return current_.y(); }
    void setCurrentX(double x) { current_.setX(x); }
    void setCurrentY(double y) { current_.setY(y); }

    // A straight line in the current pen width.
    void Line(QPointF from, QPointF to, const QColor& color);
    // A point in the current pen width.
    void PSet(QPointF at, const QColor& color);
    // Text with its top-left corner at (CurrentX, CurrentY) in the widget's font and
    // text colour, on a transparent background; CurrentY then moves to the next line.
    void Print(const QString& text);
    // Erases the retained image to the background colour.
    void Cls();

    // Confines Line, PSet, Print and Cls to an area, so one part of the drawing can be
    // rebuilt from scratch while the rest stays; an empty area lifts the limit.
    void setDrawClip(const QRegion& area);

    // While it lives, the surface's drawing calls share one painter instead of opening
    // one each: for a long run of them, such as rebuilding part of the drawing. Given
    // `repaint`, they schedule no repaints of their own and the batch repaints only that
    // area when it ends: for a caller that knows nothing changed outside it (a stroke
    // drawn again where it already lies).
    class Batch {
    public:
        explicit Batch(DrawingSurface& surface, std::optional<QRegion> repaint = std::nullopt);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        DrawingSurface& surface_;
    };

    // The retained image (device pixels, devicePixelRatio set).
    const QImage& retainedImage() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Drawn above the retained image within the same paint (line controls and the like).
    virtual void paintAbove(QPainter& painter, const QRect& dirty);

private:
    void ensureImage();
    QPen pen(const QColor& color) const;
    void touched(const QRectF& rect);
    void scheduleRepaint(const QRegion& area);
    void confine(QPainter& painter) const;
    template <class Paint> void draw(Paint&& paint);

    QImage image_;
    QPointF current_;
    int drawWidth_ = 1;
    QRegion clip_;
    std::unique_ptr<QPainter> batch_;
    std::optional<QRegion> batchRepaint_;
};

} // namespace forms
