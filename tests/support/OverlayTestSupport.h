#pragma once

// Helpers shared by the overlay and crop tests: a picture whose every pixel tells where it
// is, and a mouse that speaks through the window system (with fractional positions and
// real double-click detection) rather than straight to a widget.

#include "forms/Picture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <algorithm>

namespace overlaytest {

// Pixel (x, y) carries x and y in its channels, so any pixel names its own position and
// none but (0, 0) is black (the band's colour).
inline QRgb patternAt(int x, int y)
{
    return qRgb(x & 255, y & 255, ((x >> 8) & 15) << 4 | ((y >> 8) & 15));
}

inline forms::Picture pattern(QSize devicePixels, qreal ratio)
{
    forms::Picture picture(devicePixels, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = patternAt(x, y);
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

// Pixels of a that differ from b (formats may differ; sizes must not).
inline int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    const QImage ca = a.convertToFormat(QImage::Format_RGB32);
    const QImage cb = b.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < ca.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(ca.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(cb.constScanLine(y));
        for (int x = 0; x < ca.width(); ++x)
            count += (la[x] & 0xffffff) != (lb[x] & 0xffffff);
    }
    return count;
}

// The bounds of where two pictures of the screen differ: a window, its frame and shadow.
inline QRect differingArea(const QImage& a, const QImage& b)
{
    const QImage ca = a.convertToFormat(QImage::Format_RGB32);
    const QImage cb = b.convertToFormat(QImage::Format_RGB32);
    QRect area;
    for (int y = 0; y < std::min(ca.height(), cb.height()); ++y)
        for (int x = 0; x < std::min(ca.width(), cb.width()); ++x)
            if ((ca.pixel(x, y) & 0xffffff) != (cb.pixel(x, y) & 0xffffff))
                area |= QRect(x, y, 1, 1);
    return area;
}

// Mouse input through QWindowSystemInterface, in a widget's logical coordinates.
class Mouse {
public:
    explicit Mouse(QWidget& target)
        : target_(&target)
    {
    }

    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton)
    {
        buttons_ |= button;
        send(at, button, QEvent::MouseButtonPress);
    }
    void move(QPointF at) { send(at, Qt::NoButton, QEvent::MouseMove); }
    // quick: no pause after the release, so a following click makes a double click.
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton, bool quick = false)
    {
        buttons_ &= ~button;
        send(at, button, QEvent::MouseButtonRelease);
        if (!quick)
            QTest::lastMouseTimestamp += QGuiApplication::styleHints()->mouseDoubleClickInterval();
    }
    void drag(QPointF from, QPointF to, int steps = 4)
    {
        press(from);
        for (int i = 1; i <= steps; ++i)
            move(from + (to - from) * i / steps);
        release(to);
    }

private:
    void send(QPointF at, Qt::MouseButton button, QEvent::Type type)
    {
        // A window that closed on the last event takes no more.
        if (!target_ || !target_->window()->windowHandle())
            return;
        QWindow* window = target_->window()->windowHandle();
        const QPointF local = target_->mapTo(target_->window(), at);
        QTest::lastMouseTimestamp += 20;
        qt_handleMouseEvent(window, local, window->mapToGlobal(local), buttons_, button, type,
                            Qt::NoModifier, QTest::lastMouseTimestamp);
        QCoreApplication::processEvents();
    }

    QPointer<QWidget> target_;
    Qt::MouseButtons buttons_;
};

// Another program's window filling the primary screen with a picture.
class Backdrop : public QWidget {
public:
    explicit Backdrop(forms::Picture picture)
        : picture_(std::move(picture))
    {
        setWindowFlags(Qt::FramelessWindowHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(QGuiApplication::primaryScreen()->geometry());
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(QPointF(0, 0), picture_); }

private:
    forms::Picture picture_;
};

} // namespace overlaytest
