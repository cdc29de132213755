#include "capture/viewer/frmScreenCapture.h"

#include "capture/grab/TransparentFrame.h"
#include "capture/viewer/ViewerArtwork.h"
#include "capture/viewer/ViewerDesign.h"
#include "forms/FormInstance.h"
#include "forms/PictureBox.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QWheelEvent>

namespace capture {

using namespace viewer_design;

namespace {

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

} // namespace

frmScreenCapture::frmScreenCapture()
    : client_(new QWidget(this))
    , Toolbar1_(new QToolBar(client_))
    , picRectangle_(makeWorkBuffer(client_))
    , Picture1_(makeViewport(client_))
    , Picture2_(makeImageBox(Picture1_))
    , VScroll1_(makeScrollBar(Qt::Vertical, "VScroll1", tr("Vertical scroll"), client_))
    , HScroll1_(makeScrollBar(Qt::Horizontal, "HScroll1", tr("Horizontal scroll"), client_))
    , cropButton_(new QAction(ToolbarImage(11), QStringLiteral("Select area to crop"), this))
    , crop_(*Picture2_, *cropButton_, this)
{
    setObjectName(QStringLiteral("frmScreenCapture"));
    PrepareTransparentFrame(*this);
    setWindowTitle(QStringLiteral("Capture Selected Area"));
    setWindowIcon(ViewerWindowIcon());
    client_->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client_);

    buildMenus();
    buildToolbar();
    addPasteAndDrop();

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
    const auto item = [this](QMenu* menu, const char* name, const QString& text,
                             void (frmScreenCapture::*handler)()) {
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
    item(captureMenu, "mnuRectangle", tr("Capture &Rectangular Area"),
         &frmScreenCapture::mnuRectangle_Click);
    item(captureMenu, "mnuFullScreen", tr("Capture Full &Screen"),
         &frmScreenCapture::mnuFullScreen_Click);
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

    addGap();
    addToolButton(QStringLiteral("Exit"), QStringLiteral("Exit Program"), 1);
    addToolButton(QStringLiteral("Open"), QStringLiteral("Open a new Image."), 2);
    addToolButton(QStringLiteral("SaveIt"), QStringLiteral("Save Image As"), 3);
    addGap();
    addToolButton(QStringLiteral("Capture1"), QStringLiteral("Capture Rectangular Area"), 4);
    addToolButton(QStringLiteral("Capture2"), QStringLiteral("Capture Full Screen"), 5);
    addGap();
    addToolButton(QStringLiteral("Print"), QStringLiteral("Print Image"), 8);
    addToolButton(QStringLiteral("Copy"), QStringLiteral("Copy Image to Clipboard"), 9);
    cropButton_->setObjectName(QStringLiteral("Crop"));
    cropButton_->setToolTip(QStringLiteral("Select area to crop"));
    cropButton_->setData(QStringLiteral("Crop"));
    cropButton_->setCheckable(true);
    Toolbar1_->addAction(cropButton_);
    addGap();
    addToolButton(QStringLiteral("About"), QStringLiteral("About Snapwell"), 6);

    // The design's buttons are 23 x 22 pixels.
    for (QAction* action : Toolbar1_->actions()) {
        if (!action->data().toString().isEmpty())
            Toolbar1_->widgetForAction(action)->setFixedSize(23, 22);
    }

    connect(Toolbar1_, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toString()); });
}

void frmScreenCapture::addGap()
{
    // A blank placeholder between groups of buttons, not a separator line.
    auto* gap = new QWidget(Toolbar1_);
    gap->setFixedSize(8, 22);
    gap->setFocusPolicy(Qt::NoFocus);
    Toolbar1_->addWidget(gap);
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
            // Where the user is: on the owner's screen when there is an owner.
            forms::CentreOnScreen(*this, parentWidget() ? parentWidget()->screen() : nullptr);
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
        case Qt::Key_Left:
            return act(HScroll1_, QAbstractSlider::SliderSingleStepSub);
        case Qt::Key_Right:
            return act(HScroll1_, QAbstractSlider::SliderSingleStepAdd);
        case Qt::Key_Up:
            return act(VScroll1_, QAbstractSlider::SliderSingleStepSub);
        case Qt::Key_Down:
            return act(VScroll1_, QAbstractSlider::SliderSingleStepAdd);
        case Qt::Key_PageUp:
            return act(VScroll1_, QAbstractSlider::SliderPageStepSub);
        case Qt::Key_PageDown:
            return act(VScroll1_, QAbstractSlider::SliderPageStepAdd);
        case Qt::Key_Home:
            return act(VScroll1_, QAbstractSlider::SliderToMinimum);
        case Qt::Key_End:
            return act(VScroll1_, QAbstractSlider::SliderToMaximum);
        default:
            break;
        }
    } else if (watched == Picture1_ && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const bool sideways
            = (wheel->modifiers() & Qt::ShiftModifier) || wheel->angleDelta().x() != 0;
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

} // namespace capture
