#include "forms/WindowFade.h"

#include "forms/DesktopSession.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace forms {
namespace {

// A pane over the whole window, painted last: it scales what the window and its controls
// have just painted into the translucent surface by the opacity, so everything beneath
// fades alike. Qt repaints it with whatever it covers, so each pixel fades exactly once,
// and only where something changed.
class FadeLayer : public QWidget {
    Q_OBJECT
public:
    explicit FadeLayer(QWidget& window)
        : QWidget(&window)
    {
        setObjectName(QStringLiteral("fadeLayer"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(window.rect());
        window.installEventFilter(this);
        raise();
        show();
    }

    void setAlpha(int alpha)
    {
        if (alpha == alpha_)
            return;
        alpha_ = alpha;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (alpha_ >= 255)
            return;
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        const QColor fade(0, 0, 0, alpha_);
        // Rectangle by rectangle of what changed, never its bounding box, and in short
        // runs of rows: Qt hands a taller fill to its thread pool, and for the thin strips a
        // moving band repaints, waking the pool costs far more than the fill itself.
        for (const QRect& rect : event->region()) {
            for (int top = rect.top(); top <= rect.bottom(); top += kRowsPerFill)
                painter.fillRect(QRect(rect.left(), top, rect.width(),
                                       std::min(kRowsPerFill, rect.bottom() - top + 1)),
                                 fade);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent()) {
            if (event->type() == QEvent::Resize)
                setGeometry(parentWidget()->rect());
            else if (event->type() == QEvent::ChildAdded)
                raise(); // controls added later stay beneath
        }
        return false;
    }

private:
    static constexpr int kRowsPerFill = 64;
    int alpha_ = 255;
};

} // namespace

bool FadesBySelf()
{
    // Qt's Wayland platform: "This plugin does not support setting window opacity". Through
    // Xwayland Qt sets it, but no Wayland compositor reads the X11 property.
    return OnWaylandSession();
}

void PrepareFade(QWidget& window)
{
    if (FadesBySelf())
        window.setAttribute(Qt::WA_TranslucentBackground);
}

void FadeWindow(QWidget& window, double opacity)
{
    if (!FadesBySelf()) {
        window.setWindowOpacity(opacity);
        return;
    }
    auto* layer
        = window.findChild<FadeLayer*>(QStringLiteral("fadeLayer"), Qt::FindDirectChildrenOnly);
    if (!layer)
        layer = new FadeLayer(window); // owned by the window
    layer->setAlpha(static_cast<int>(std::lrint(std::clamp(opacity, 0.0, 1.0) * 255)));
}

} // namespace forms

#include "WindowFade.moc"
