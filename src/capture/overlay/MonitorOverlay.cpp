#include "capture/overlay/MonitorOverlay.h"

#include "capture/overlay/BandGeometry.h"
#include "capture/overlay/FrozenPictureBox.h"
#include "capture/overlay/RubberBand.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace capture {

MonitorOverlay::MonitorOverlay()
    : picture1_(new FrozenPictureBox(this))
    , band_(std::make_unique<RubberBand>(*picture1_))
{
    setObjectName(QStringLiteral("MonitorOverlay"));
    setAccessibleName(tr("Frozen screen"));
    // Frameless and on top, but managed: a window the manager bypasses never gets the keyboard.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);

    picture1_->setObjectName(QStringLiteral("Picture1"));
    picture1_->setMousePointer(2);
    picture1_->setBackColor(Qt::black);
    picture1_->setFocusPolicy(Qt::NoFocus);
    picture1_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture1_);
}

MonitorOverlay::~MonitorOverlay() = default;

void MonitorOverlay::cover(QScreen* screen, const forms::Picture& part)
{
    band_->hide();
    band_->endDrag();
    if (screen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    // Where the X server holds the part, this window paints nothing either, so it has no
    // buffer of the screen's size.
    setAttribute(Qt::WA_PaintOnScreen, picture1_->freeze(part));
    showFullScreen();
    raise();
}

QPaintEngine* MonitorOverlay::paintEngine() const
{
    return picture1_->onServer() ? nullptr : QWidget::paintEngine();
}

void MonitorOverlay::stop()
{
    stopped_ = true;
    band_->endDrag();
}

bool MonitorOverlay::Dragging() const
{
    return band_->dragging();
}

QRect MonitorOverlay::selection() const
{
    return ClipToPicture(band_->bounds(), picture1_->picture().size());
}

bool MonitorOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != picture1_ || stopped_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Picture1_MouseDown(static_cast<QMouseEvent&>(*event));
        return true;
    case QEvent::MouseMove:
        Picture1_MouseMove(static_cast<QMouseEvent&>(*event));
        return true;
    case QEvent::MouseButtonRelease:
        Picture1_MouseUp(static_cast<QMouseEvent&>(*event));
        return true;
    case QEvent::MouseButtonDblClick:
        Picture1_DblClick();
        return true;
    default:
        return false;
    }
}

void MonitorOverlay::Picture1_MouseDown(QMouseEvent& event)
{
    band_->press(PrecisePosition(event, *picture1_), event.button());
}

void MonitorOverlay::Picture1_MouseMove(QMouseEvent& event)
{
    // The pointer stays with the window it was pressed on, even over another monitor:
    // there the band stops at this monitor's edge.
    const QPointF at = PrecisePosition(event, *picture1_);
    band_->move(QPointF(std::clamp<qreal>(at.x(), 0, picture1_->width()),
                        std::clamp<qreal>(at.y(), 0, picture1_->height())));
}

void MonitorOverlay::Picture1_MouseUp(QMouseEvent&)
{
    // A plain click completes at once as a one-pixel selection, so the first release of
    // a double click already ends the capture.
    if (!band_->isVisible())
        return;
    band_->endDrag();
    emit released();
}

void MonitorOverlay::Picture1_DblClick()
{
    emit leaveRequested();
}

void MonitorOverlay::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        emit leaveRequested();
    else
        QWidget::keyPressEvent(event);
}

void MonitorOverlay::closeEvent(QCloseEvent* event)
{
    // Closed from outside (by the window manager, say): the whole capture ends.
    event->accept();
    if (!stopped_)
        emit leaveRequested();
}

} // namespace capture
