#include "capture/frmScreenCapture.h"

#include "capture/Capture.h"
#include "capture/ImageFiles.h"
#include "capture/ScreenSettle.h"
#include "capture/ScrollModel.h"
#include "capture/ViewerArtwork.h"
#include "capture/frmCaptureRectangle.h"
#include "capture/frmPrintScreen.h"
#include "forms/DoEvents.h"
#include "forms/MsgBox.h"
#include "forms/PictureBox.h"
#include "forms/Twips.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QWheelEvent>

#include <cmath>

namespace capture {
namespace {

// The design's client area and control placement, in twips.
constexpr double kClientWidth = 7980;
constexpr double kClientHeight = 5160;
constexpr double kToolbarHeight = 420;
constexpr double kViewportLeft = 0;
constexpr double kViewportTop = 450;
constexpr double kScrollBarThickness = 255;
// The layout arithmetic measures the window from its outer edges; these are the
// border and caption allowances it assumes, so the same numbers hold with or without
// a window manager.
constexpr double kFrameAllowanceX = 120;
constexpr double kFrameAllowanceY = 430;

const QColor kViewportGrey(0x80, 0x80, 0x80);

forms::PictureBox* makeViewport(QWidget* parent)
{
    auto* box = new forms::PictureBox(parent);
    box->setObjectName(QStringLiteral("Picture1"));
    box->setBackColor(kViewportGrey);
    box->setAccessibleName(QObject::tr("Image"));
    box->setFocusPolicy(Qt::StrongFocus);
    return box;
}

forms::PictureBox* makeImageBox(QWidget* parent)
{
    auto* box = new forms::PictureBox(parent);
    box->setObjectName(QStringLiteral("Picture2"));
    box->setAutoSize(true);
    box->setGeometry(0, 0, 151, 133);
    box->setBackColor(QApplication::palette().color(QPalette::Window));
    return box;
}

forms::PictureBox* makeWorkBuffer(QWidget* parent)
{
    auto* box = new forms::PictureBox(parent);
    box->setObjectName(QStringLiteral("picRectangle"));
    box->setGeometry(forms::TwipsToPixelsX(5955), forms::TwipsToPixelsY(600),
                     forms::TwipsToPixelsX(1455), forms::TwipsToPixelsY(855));
    return box;
}

QScrollBar* makeScrollBar(Qt::Orientation orientation, const char* name, const QString& label,
                          QWidget* parent)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QLatin1String(name));
    bar->setAccessibleName(label);
    bar->setTracking(false); // the image moves when the thumb is released
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setRange(0, 0);
    bar->hide();
    return bar;
}

int px(double twips) { return forms::TwipsToPixelsX(twips); }
int py(double twips) { return forms::TwipsToPixelsY(twips); }

QString openFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\aaaaaa");
#else
    return QDir::home().filePath(QStringLiteral("aaaaaa"));
#endif
}

QString fileFailure(const QString& what, const QString& path, const QString& cause)
{
    return QObject::tr("%1 \"%2\".\n\n%3").arg(what, QDir::toNativeSeparators(path), cause);
}

// Runs one of the viewer's file dialogs (named CD1, as in the design): the path the user
// chose, or empty when they cancelled.
QString runFileDialog(QFileDialog& dialog)
{
    dialog.setObjectName(QStringLiteral("CD1"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

forms::FormInstance<frmScreenCapture>& viewerForm()
{
    static forms::FormInstance<frmScreenCapture> form;
    return form;
}

} // namespace

frmScreenCapture& frmScreenCapture::instance()
{
    return viewerForm().get();
}

frmScreenCapture* frmScreenCapture::loaded()
{
    return viewerForm().loaded();
}

frmScreenCapture::frmScreenCapture()
    : client_(new QWidget(this)),
      Toolbar1_(new QToolBar(client_)),
      picRectangle_(makeWorkBuffer(client_)),
      Picture1_(makeViewport(client_)),
      Picture2_(makeImageBox(Picture1_)),
      VScroll1_(makeScrollBar(Qt::Vertical, "VScroll1", tr("Vertical scroll"), client_)),
      HScroll1_(makeScrollBar(Qt::Horizontal, "HScroll1", tr("Horizontal scroll"), client_)),
      cropButton_(new QAction(ToolbarImage(11), QStringLiteral("Select area to crop"), this)),
      crop_(*Picture2_, *cropButton_, this)
{
    setObjectName(QStringLiteral("frmScreenCapture"));
    setWindowTitle(QStringLiteral("Capture Selected Area"));
    setWindowIcon(ViewerWindowIcon());
    client_->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client_);

    buildMenus();
    buildToolbar();

    // picRectangle sits below the viewport, which covers it.
    picRectangle_->lower();
    Picture1_->installEventFilter(this);
    client_->installEventFilter(this);
    connect(HScroll1_, &QScrollBar::valueChanged, this, &frmScreenCapture::HScroll1_Change);
    connect(VScroll1_, &QScrollBar::valueChanged, this, &frmScreenCapture::VScroll1_Change);
    connect(&crop_, &CropSelection::cropped, this, [this](const forms::Picture& cropped) {
        Picture2_->move(0, 0);
        setPicture(cropped);
        SetupScrollBars();
    });

    setTabOrder(Picture1_, VScroll1_);
    setTabOrder(VScroll1_, HScroll1_);

    Picture1_->setGeometry(px(kViewportLeft), py(kViewportTop), px(7635), py(4335));
    VScroll1_->setGeometry(px(7650), py(420), px(kScrollBarThickness), py(4335));
    HScroll1_->setGeometry(px(0), py(4800), px(7605), py(kScrollBarThickness));
    resize(px(kClientWidth), py(kClientHeight) + menuBar()->sizeHint().height());
}

void frmScreenCapture::buildMenus()
{
    const auto item = [this](QMenu* menu, const char* name, const QString& text, void (frmScreenCapture::*handler)()) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    const auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    item(file, "mnuOpen", tr("&Open"), &frmScreenCapture::mnuOpen_Click);
    item(file, "mnuSave", tr("Save &As"), &frmScreenCapture::mnuSave_Click);
    separator(file, "mnBB");
    item(file, "mnuPrint", tr("&Print"), &frmScreenCapture::mnuPrint_Click);
    separator(file, "mnuAA");
    item(file, "mnuExit", tr("E&xit"), &frmScreenCapture::mnuExit_Click);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    item(edit, "mnuCrop", tr("Select Crop &Area"), &frmScreenCapture::mnuCrop_Click);
    item(edit, "mnuCopy", tr("&Copy Image to Clipboard"), &frmScreenCapture::mnuCopy_Click);

    QMenu* captureMenu = menuBar()->addMenu(tr("&Capture"));
    captureMenu->setObjectName(QStringLiteral("mnuB"));
    item(captureMenu, "mnuRectangle", tr("Capture &Rectangular Area"), &frmScreenCapture::mnuRectangle_Click);
    item(captureMenu, "mnuFullScreen", tr("Capture Full &Screen"), &frmScreenCapture::mnuFullScreen_Click);
}

QAction* frmScreenCapture::addToolButton(const QString& key, const QString& tip, int image)
{
    QAction* action = Toolbar1_->addAction(ToolbarImage(image), tip);
    action->setObjectName(key);
    action->setToolTip(tip);
    action->setData(key);
    return action;
}

void frmScreenCapture::buildToolbar()
{
    Toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1_->setIconSize(QSize(16, 16));
    Toolbar1_->setMovable(false);
    Toolbar1_->setFloatable(false);
    Toolbar1_->setGeometry(0, 0, width(), py(kToolbarHeight));

    Toolbar1_->addSeparator();
    addToolButton(QStringLiteral("Exit"), QStringLiteral("Exit Program"), 1);
    addToolButton(QStringLiteral("Open"), QStringLiteral("Open a new Image."), 2);
    addToolButton(QStringLiteral("SaveIt"), QStringLiteral("Save Image As"), 3);
    Toolbar1_->addSeparator();
    addToolButton(QStringLiteral("Capture1"), QStringLiteral("Capture Rectangular Area"), 4);
    addToolButton(QStringLiteral("Capture2"), QStringLiteral("Capture Full Screen"), 5);
    Toolbar1_->addSeparator();
    addToolButton(QStringLiteral("Print"), QStringLiteral("Print Image"), 8);
    addToolButton(QStringLiteral("Copy"), QStringLiteral("Copy Image to Clipboard"), 9);
    cropButton_->setObjectName(QStringLiteral("Crop"));
    cropButton_->setToolTip(QStringLiteral("Select area to crop"));
    cropButton_->setData(QStringLiteral("Crop"));
    cropButton_->setCheckable(true);
    Toolbar1_->addAction(cropButton_);
    Toolbar1_->addSeparator();
    addToolButton(QStringLiteral("About"), QStringLiteral("About Snapwell"), 6);

    connect(Toolbar1_, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toString()); });
}

const forms::Picture& frmScreenCapture::picture() const
{
    return Picture2_->picture();
}

void frmScreenCapture::setPicture(const forms::Picture& picture)
{
    Picture2_->setPicture(picture);
}

void frmScreenCapture::Toolbar1_ButtonClick(const QString& key)
{
    using Command = void (frmScreenCapture::*)();
    static const std::pair<const char*, Command> commands[] = {
        {"Exit", &frmScreenCapture::mnuExit_Click},
        {"Open", &frmScreenCapture::mnuOpen_Click},
        {"SaveIt", &frmScreenCapture::mnuSave_Click},
        {"Capture1", &frmScreenCapture::mnuRectangle_Click},
        {"Capture2", &frmScreenCapture::mnuFullScreen_Click},
        {"Copy", &frmScreenCapture::mnuCopy_Click},
        {"Print", &frmScreenCapture::mnuPrint_Click},
        {"Crop", &frmScreenCapture::mnuCrop_Click},
    };
    for (const auto& [name, command] : commands) {
        if (key == QLatin1String(name)) {
            (this->*command)();
            return;
        }
    }
}

// ---- Layout and scrolling -------------------------------------------------------------

double frmScreenCapture::outerWidthTwips() const
{
    return client_->width() * forms::TwipsPerPixelX(screen()) + kFrameAllowanceX;
}

double frmScreenCapture::outerHeightTwips() const
{
    return client_->height() * forms::TwipsPerPixelY(screen()) + kFrameAllowanceY;
}

void frmScreenCapture::setOuterSizeTwips(double width, double height)
{
    const int clientWidth = forms::TwipsToPixelsX(width - kFrameAllowanceX, screen());
    const int clientHeight = forms::TwipsToPixelsY(height - kFrameAllowanceY, screen());
    resize(clientWidth + (this->width() - client_->width()),
           clientHeight + (this->height() - client_->height()));
}

void frmScreenCapture::Form_Resize()
{
    const double width = outerWidthTwips();
    const double height = outerHeightTwips();
    const double wanted = EnforcedWindowWidth(width);
    const double wantedHeight = EnforcedWindowHeight(height);
    if (wanted != width || wantedHeight != height)
        setOuterSizeTwips(wanted, wantedHeight);
    Toolbar1_->setGeometry(0, 0, client_->width(), py(kToolbarHeight));
    ArrangeViewport();
    SetupScrollBars();
}

void frmScreenCapture::ArrangeViewport()
{
    ViewportInput in;
    in.windowWidth = outerWidthTwips();
    in.windowHeight = outerHeightTwips();
    in.vScrollVisible = !VScroll1_->isHidden();
    in.hScrollVisible = !HScroll1_->isHidden();
    in.vScrollWidth = VScroll1_->width() * forms::TwipsPerPixelX(screen());
    in.hScrollHeight = HScroll1_->height() * forms::TwipsPerPixelY(screen());
    in.toolbarHeight = Toolbar1_->height() * forms::TwipsPerPixelY(screen());
    in.viewportLeft = kViewportLeft;
    in.viewportTop = kViewportTop;
    const ViewportLayout out = capture::ArrangeViewport(in);
    if (out.viewportWidth <= 0 || out.viewportHeight <= 0)
        return; // too small for a viewport: leave everything where it is

    Picture1_->setGeometry(px(in.viewportLeft), py(in.viewportTop), px(out.viewportWidth),
                           py(out.viewportHeight));
    VScroll1_->setGeometry(px(out.vScrollLeft), py(out.vScrollTop), VScroll1_->width(),
                           py(out.vScrollHeight));
    VScroll1_->setValue(0);
    HScroll1_->setGeometry(px(out.hScrollLeft), py(out.hScrollTop), px(out.hScrollWidth),
                           HScroll1_->height());
    HScroll1_->setValue(0);
    Picture2_->move(0, 0);
}

void frmScreenCapture::SetupScrollBars()
{
    const double tx = forms::TwipsPerPixelX(screen());
    const double ty = forms::TwipsPerPixelY(screen());
    bool visibilityChanged = false;
    const auto setUp = [&visibilityChanged](QScrollBar* bar, const ScrollRange& range) {
        bar->setValue(0);
        bar->setRange(0, range.max);
        bar->setSingleStep(range.smallChange);
        bar->setPageStep(range.largeChange);
        if (bar->isHidden() == range.visible()) {
            visibilityChanged = true;
            bar->setVisible(range.visible());
        }
        bar->update();
    };
    setUp(VScroll1_, ComputeScrollRange(Picture2_->height(), Picture1_->height() * ty, ty));
    setUp(HScroll1_, ComputeScrollRange(Picture2_->width(), Picture1_->width() * tx, tx));

    if (!Picture1_->isHidden()) {
        QWidget* active = focusWidget();
        Picture1_->setFocus();
        if (active && active != HScroll1_ && active != VScroll1_)
            active->setFocus();
    }
    if (visibilityChanged)
        ArrangeViewport();
}

void frmScreenCapture::HScroll1_Change(int value)
{
    const double tx = forms::TwipsPerPixelX(screen());
    if (const auto left = ImageOffsetForScroll(value, HScroll1_->maximum(), Picture2_->width(),
                                               Picture1_->width() * tx, tx, kHorizontalEndMargin))
        Picture2_->move(static_cast<int>(std::lrint(*left)), Picture2_->y());
}

void frmScreenCapture::VScroll1_Change(int value)
{
    const double ty = forms::TwipsPerPixelY(screen());
    if (const auto top = ImageOffsetForScroll(value, VScroll1_->maximum(), Picture2_->height(),
                                              Picture1_->height() * ty, ty, kVerticalEndMargin))
        Picture2_->move(Picture2_->x(), static_cast<int>(std::lrint(*top)));
}

bool frmScreenCapture::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::WindowActivate: // Form_Activate
        SetupScrollBars();
        break;
    case QEvent::Show:
        if (!placed_) {
            placed_ = true;
            forms::CentreOnScreen(*this);
        }
        break;
    default:
        break;
    }
    return handled;
}

bool frmScreenCapture::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_ && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == Picture1_ && event->type() == QEvent::KeyPress) {
        // The viewport scrolls from the keyboard like the bars themselves.
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto act = [](QScrollBar* bar, QAbstractSlider::SliderAction action) {
            if (!bar->isHidden())
                bar->triggerAction(action);
            return true;
        };
        switch (key->key()) {
        case Qt::Key_Left: return act(HScroll1_, QAbstractSlider::SliderSingleStepSub);
        case Qt::Key_Right: return act(HScroll1_, QAbstractSlider::SliderSingleStepAdd);
        case Qt::Key_Up: return act(VScroll1_, QAbstractSlider::SliderSingleStepSub);
        case Qt::Key_Down: return act(VScroll1_, QAbstractSlider::SliderSingleStepAdd);
        case Qt::Key_PageUp: return act(VScroll1_, QAbstractSlider::SliderPageStepSub);
        case Qt::Key_PageDown: return act(VScroll1_, QAbstractSlider::SliderPageStepAdd);
        case Qt::Key_Home: return act(VScroll1_, QAbstractSlider::SliderToMinimum);
        case Qt::Key_End: return act(VScroll1_, QAbstractSlider::SliderToMaximum);
        default: break;
        }
    } else if (watched == Picture1_ && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const bool sideways = (wheel->modifiers() & Qt::ShiftModifier) || wheel->angleDelta().x() != 0;
        QScrollBar* bar = sideways ? HScroll1_ : VScroll1_;
        const int delta = sideways && wheel->angleDelta().x() != 0 ? wheel->angleDelta().x()
                                                                  : wheel->angleDelta().y();
        if (!bar->isHidden() && delta != 0)
            bar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub
                                         : QAbstractSlider::SliderSingleStepAdd);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Commands ---------------------------------------------------------------------------

void frmScreenCapture::waitUntilOffScreen()
{
    QElapsedTimer timer;
    timer.start();
    const auto elapsed = [&timer] { return std::chrono::nanoseconds(timer.nsecsElapsed()); };
    // The X server unmaps us (and the window manager its frame) asynchronously.
    while (!IsOffScreen(*this) && elapsed() < kHideTimeout)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // Windows uncovered by ours repaint now: our own through the event loop, other
    // programs' in their own time, for which the settle allows.
    const auto settleUntil = std::min(elapsed() + kRepaintSettle,
                                      std::chrono::nanoseconds(kHideTimeout) + kRepaintSettle);
    while (elapsed() < settleUntil)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    SyncWithDisplay();
    lastHideWait_ = elapsed();
}

bool frmScreenCapture::CaptureDesktop()
{
    const QPoint where = pos();
    hide();
    waitUntilOffScreen();

    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const long widthTwips = std::lrint(forms::ScreenWidthTwips(screen));
    const long heightTwips = std::lrint(forms::ScreenHeightTwips(screen));
    const long tx = std::max(1L, std::lrint(forms::TwipsPerPixelX(screen)));
    const long ty = std::max(1L, std::lrint(forms::TwipsPerPixelY(screen)));
    const QPoint corner = screen ? screen->geometry().topLeft() : QPoint();
    // The old picture goes before the grab, so its pixels can serve this capture and a
    // capture never holds two screens' worth of memory.
    setPicture(forms::Picture());
    setPicture(GrabWindowArea(GetDesktopWindow(), false, corner.x(), corner.y(),
                              static_cast<int>(widthTwips / tx),
                              static_cast<int>(heightTwips / ty)));
    move(where);
    return true;
}

void frmScreenCapture::mnuFullScreen_Click()
{
    CaptureDesktop();
    forms::ShowModeless(*this);
    SetupScrollBars();
}

void frmScreenCapture::mnuRectangle_Click()
{
    CaptureDesktop();
    forms::DoEvents();
    frmCaptureRectangle& overlay = frmCaptureRectangle::instance();
    disconnect(&overlay, nullptr, this, nullptr);
    connect(&overlay, &frmCaptureRectangle::selected, this,
            [this](const forms::Picture& selection) { setPicture(selection); });
    connect(&overlay, &frmCaptureRectangle::closed, this, [this] {
        forms::ShowModeless(*this);
        SetupScrollBars();
    });
    overlay.ShowPicture(picture());
}

void frmScreenCapture::mnuCrop_Click()
{
    crop_.StartCropMode();
}

void frmScreenCapture::mnuPrint_Click()
{
    if (!forms::HasPicture(picture())) {
        forms::MsgBox(QStringLiteral("Please capture or load an image before printing."),
                      forms::vbInformation, QStringLiteral("Nothing To Print"));
        return;
    }
    frmPrintScreen::instance().PrintBitmap(picture());
}

void frmScreenCapture::mnuExit_Click()
{
    forms::Unload(*this);
}

void frmScreenCapture::mnuOpen_Click()
{
    initDir_ = openFolder();
    QFileDialog dialog(this, tr("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("GIF Files (*.gif)"), QStringLiteral("JPEG Files(*.jpg)"),
                           QStringLiteral("Bitmap Files (*.bmp)")});
    // A folder that does not exist leaves the dialog where it opens by default.
    if (QFileInfo(initDir_).isDir())
        dialog.setDirectory(initDir_);
    const QString path = runFileDialog(dialog);
    if (path.isEmpty())
        return;
    LoadedPicture loaded = LoadPicture(path);
    if (!loaded.error.isEmpty()) {
        forms::MsgBox(fileFailure(tr("Cannot open"), path, loaded.error), forms::vbInformation,
                      tr("Open"));
        return;
    }
    // One image pixel per device pixel, like a capture.
    loaded.picture.setDevicePixelRatio(devicePixelRatioF());
    setPicture(forms::Picture());
    setPicture(loaded.picture);
    // The closing dialog may or may not reactivate the window; the bars must follow the
    // new picture either way.
    SetupScrollBars();
}

void frmScreenCapture::mnuSave_Click()
{
    if (!forms::HasPicture(picture())) {
        forms::MsgBox(QStringLiteral("Please capture or load an image before saving."),
                      forms::vbInformation, QStringLiteral("Nothing To Save"));
        return;
    }
    QFileDialog dialog(this, tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Bitmap Files (*.bmp)"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!initDir_.isEmpty() && QFileInfo(initDir_).isDir())
        dialog.setDirectory(initDir_);
    const QString path = runFileDialog(dialog);
    if (path.isEmpty())
        return;
    const QString error = SavePicture(picture(), path);
    if (!error.isEmpty())
        forms::MsgBox(fileFailure(tr("Cannot save"), path, error), forms::vbInformation,
                      tr("Save As"));
}

void frmScreenCapture::mnuCopy_Click()
{
    if (!forms::HasPicture(picture())) {
        forms::MsgBox(QStringLiteral("Please capture or load an image before copying to clipboard."),
                      forms::vbInformation, QStringLiteral("Nothing To Copy"));
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    forms::DoEvents();
    clipboard->setImage(picture());
    forms::DoEvents();
    if (!clipboard->ownsClipboard()) {
        forms::MsgBox(tr("The image could not be put on the clipboard: the system did not make "
                         "this program the clipboard's owner."),
                      forms::vbInformation, QStringLiteral("Copy Image to Clipboard"));
        return;
    }
    forms::MsgBox(QStringLiteral("Image saved to Windows clipboard.  Use Paste or CTL+V in another "
                                 "application, such as Word, to paste image from clipboard."),
                  forms::vbInformation, QStringLiteral("Copy Image to Clipboard"));
}

} // namespace capture
