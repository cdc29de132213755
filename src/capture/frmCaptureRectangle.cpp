#include "capture/frmCaptureRectangle.h"

#include "capture/BandGeometry.h"
#include "capture/PictureRegion.h"
#include "capture/RubberBand.h"
#include "forms/PictureBox.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace capture {
namespace {

// The screen the snapshot was taken of: one whose size in device pixels is the snapshot's,
// preferring the one under the pointer (the user just chose the command there).
QScreen* snapshotScreen(const forms::Picture& snapshot)
{
    const auto fits = [&](const QScreen* screen) {
        return screen
            && (QSizeF(screen->geometry().size()) * screen->devicePixelRatio()).toSize()
                   == snapshot.size();
    };
    if (QScreen* underPointer = QGuiApplication::screenAt(QCursor::pos()); fits(underPointer))
        return underPointer;
    if (fits(QGuiApplication::primaryScreen()))
        return QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (fits(screen))
            return screen;
    }
    return QGuiApplication::primaryScreen();
}

} // namespace

frmCaptureRectangle::frmCaptureRectangle()
    : picture1_(new forms::PictureBox(this)), band_(std::make_unique<RubberBand>(*picture1_))
{
    Form_Load();
}

frmCaptureRectangle::~frmCaptureRectangle() = default;

frmCaptureRectangle& frmCaptureRectangle::instance()
{
    static forms::FormInstance<frmCaptureRectangle> form;
    return form.get();
}

void frmCaptureRectangle::Form_Load()
{
    setObjectName(QStringLiteral("frmCaptureRectangle"));
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

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
}

void frmCaptureRectangle::ShowPicture(const forms::Picture& picBitmap)
{
    picture1_->setPicture(picBitmap);
    band_->hide();
    band_->endDrag();
    // Lie exactly over the screen the snapshot shows, wherever that screen sits.
    if (QScreen* screen = snapshotScreen(picBitmap)) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    showFullScreen();
    raise();
    activateWindow();
}

bool frmCaptureRectangle::Dragging() const
{
    return band_->dragging();
}

void frmCaptureRectangle::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The keyboard can only be grabbed once the window is viewable, so wait for exposure.
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
}

bool frmCaptureRectangle::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle()) {
        if (event->type() == QEvent::Expose && windowHandle()->isExposed() && !finished_) {
            windowHandle()->removeEventFilter(this);
            activateWindow();
            grabKeyboard();
        }
        return false;
    }
    if (watched != picture1_ || finished_)
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

void frmCaptureRectangle::Picture1_MouseDown(QMouseEvent& event)
{
    band_->press(PrecisePosition(event, *picture1_), event.button());
}

void frmCaptureRectangle::Picture1_MouseMove(QMouseEvent& event)
{
    band_->move(PrecisePosition(event, *picture1_));
}

void frmCaptureRectangle::Picture1_MouseUp(QMouseEvent&)
{
    // A plain click completes at once as a one-pixel selection, so the first release of
    // a double click already ends the capture.
    if (!band_->isVisible())
        return;
    band_->endDrag();
    completeSelection();
}

void frmCaptureRectangle::Picture1_DblClick()
{
    leave();
}

void frmCaptureRectangle::completeSelection()
{
    if (finished_)
        return;
    const forms::Picture snapshot = picture1_->picture();
    const QRect area = ClipToPicture(band_->bounds(), snapshot.size());
    band_->hide();
    if (!area.isEmpty())
        emit selected(PictureRegion(snapshot, area));
    leave();
}

void frmCaptureRectangle::leave()
{
    if (!finished_)
        forms::Unload(*this);
}

void frmCaptureRectangle::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        leave();
    else
        QWidget::keyPressEvent(event);
}

void frmCaptureRectangle::closeEvent(QCloseEvent* event)
{
    const bool first = !finished_;
    finished_ = true;
    releaseKeyboard();
    event->accept();
    if (first)
        emit closed();
}

} // namespace capture
