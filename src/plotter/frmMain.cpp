#include "plotter/frmMain.h"

#include "capture/viewer/frmScreenCapture.h"
#include "coordinates/frmCoordinates.h"
#include "forms/WindowFade.h"
#include "forms/WindowRole.h"
#include "plotter/AppIcon.h"
#include "plotter/GridSnap.h"
#include "plotter/ModFunc.h"
#include "plotter/PlaneDrawing.h"
#include "plotter/TraceStyle.h"
#include "vertices/Module.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

namespace plotter {
namespace {

constexpr float kPlaneBottom = 600.0f;

template <class Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// The strip was laid out for a small UI font: shrink a label's font until its text fits
// the room the layout gives it, so it never runs under the next control.
void fitText(QLabel& label, int room)
{
    QFont font = label.font();
    while (QFontMetrics(font).horizontalAdvance(label.text()) > room && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label.setFont(font);
    label.adjustSize();
}

QString areaText(double area)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(area, 'g', 15);
}

} // namespace

frmMain::frmMain()
    : l(*this)
    , keyCursor(*this)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Zarnel"));
    setWindowIcon(AppIcon());
    forms::SetWindowRole(staticMetaObject, QAccessible::Window); // a frame, not filler
    setFixedSize(1201, 639);
    setMouseTracking(true);
    forms::PrepareFade(*this);
    l.setBorderColor(kBandNormal);
    l.setBorderWidth(2);
    buildControls();
    addCorrectionKeys();
    addCursorKeys();
    addPasteAndDrop();
    Form_Load();
}

void frmMain::buildControls()
{
    Shape1 = place(new QFrame(this), "Shape1", 0, 600, 1201, 41);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setAutoFillBackground(true);
    QPalette white = Shape1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Shape1->setPalette(white);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents); // presses reach the plane

    QFont stripFont = font();
    stripFont.setPointSizeF(std::min(stripFont.pointSizeF(), 8.0));
    setFont(stripFont);

    Label1 = place(new QLabel(QStringLiteral("Snap to"), this), "Label1", 8, 608, 73, 17);

    o1 = place(new QRadioButton(QStringLiteral("1"), this), "o1", 56, 608, 41, 17);
    o2 = place(new QRadioButton(QStringLiteral("1/2"), this), "o2", 88, 608, 41, 17);
    o3 = place(new QRadioButton(QStringLiteral("1/4"), this), "o3", 128, 608, 41, 17);
    o4 = place(new QRadioButton(QStringLiteral("1/5"), this), "o4", 168, 608, 41, 17);
    snapGroup = new QButtonGroup(this);
    for (QRadioButton* option : {o1, o2, o3, o4})
        snapGroup->addButton(option);
    o1->setChecked(true);

    Label1a = place(new QLabel(QStringLiteral("Select a Transparency Level :"), this), "Label1a",
                    224, 608, 147, 13);
    fitText(*Label1a, 376 - 224 - 4);

    Slider = place(new QSlider(Qt::Horizontal, this), "Slider", 376, 608, 233, 17);
    Slider->setRange(100, 255);
    Slider->setValue(255);
    Slider->setTickInterval(20);
    Slider->setTickPosition(QSlider::TicksBelow);
    Slider->setSingleStep(1);
    Slider->setPageStep(5);
    Slider->setAccessibleName(Label1a->text());
    Slider->installEventFilter(this);

    Capture = place(new QPushButton(QStringLiteral("Capture"), this), "Capture", 624, 608, 97, 25);
    connect(Capture, &QPushButton::clicked, this, &frmMain::Capture_Click);

    lblArea = place(new QLabel(kAreaCaption, this), "lblArea", 744, 608, 44, 20);
    QFont areaFont = lblArea->font();
    areaFont.setPointSize(12);
    areaFont.setBold(true);
    lblArea->setFont(areaFont);
    lblArea->adjustSize();

    cmdCoordinateList = place(new QPushButton(QStringLiteral("Coordinate LIst"), this),
                              "cmdCoordinateList", 968, 608, 97, 24);
    connect(cmdCoordinateList, &QPushButton::clicked, this, &frmMain::cmdCoordinateList_Click);

    Quit = place(new QPushButton(QStringLiteral("Quit"), this), "Quit", 1096, 608, 97, 25);
    connect(Quit, &QPushButton::clicked, this, &frmMain::Quit_Click);

    for (QLabel* label : {Label1, Label1a, lblArea})
        label->setFocusPolicy(Qt::NoFocus);
    setTabOrder(cmdCoordinateList, o1);
    setTabOrder(o1, o2);
    setTabOrder(o2, o3);
    setTabOrder(o3, o4);
    setTabOrder(o4, Quit);
    setTabOrder(Quit, Slider);
    setTabOrder(Slider, Capture);
    cmdCoordinateList->setFocus(); // the first stop of the tab order
}

void frmMain::Show()
{
    if (!shownOnce) {
        shownOnce = true;
        forms::CentreOnScreen(*this);
    }
    show();
    raise();
    activateWindow();
}

void frmMain::Form_Load()
{
    DrawPlane(*this);
    VertexList().clear();
    setDrawWidth(2);
}

void frmMain::AlignToGrid(float& X, float& Y, float GridSpacing) const
{
    plotter::AlignToGrid(X, Y, GridSpacing);
}

float frmMain::snapFraction() const
{
    if (o1->isChecked())
        return 1.0f;
    if (o2->isChecked())
        return 0.5f;
    if (o3->isChecked())
        return 0.25f;
    return 0.2f;
}

bool frmMain::onControl(QPointF at) const
{
    // A control that ignores a press (a label, a button's right click) passes it on to us;
    // the plane only takes what lands on its own surface or on the strip's bare shape,
    // which lets the mouse through.
    return childAt(at.toPoint()) != nullptr;
}

void frmMain::mousePressEvent(QMouseEvent* event)
{
    // Every button places vertices.
    const QPointF at = event->position();
    if (onControl(at))
        return;
    Form_MouseDown(static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void frmMain::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click is no press of its own: a polygon closed by the
    // first one keeps its area.
}

void frmMain::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    if (onControl(at) || !pointerMoved(*event))
        return;
    Form_MouseMove(static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void frmMain::Form_MouseDown(float X, float Y)
{
    AlignToGrid(X, Y, GridSpacing(snapFraction()));
    if (Y > kPlaneBottom)
        return;

    std::vector<Vertex>& vertices = VertexList();
    if (lblArea->text() != kAreaCaption) {
        // A closed polygon is on show: this press starts a new one.
        Cls();
        Form_Load();
        lblArea->setText(kAreaCaption);
        lblArea->adjustSize();
    } else if (vertices.size() >= 3 && X == vertices.front().X && Y == vertices.front().Y) {
        closePolygon();
        return;
    }
    addVertex(X, Y);
}

void frmMain::closePolygon()
{
    const std::vector<Vertex>& vertices = VertexList();
    for (std::size_t i = 1; i < vertices.size(); ++i)
        Line(QPointF(vertices[i - 1].X, vertices[i - 1].Y), QPointF(vertices[i].X, vertices[i].Y),
             kClosedBlue);
    Line(QPointF(vertices.front().X, vertices.front().Y),
         QPointF(vertices.back().X, vertices.back().Y), kClosedBlue);

    lblArea->setText(QStringLiteral("Area: ") + areaText(ComputeArea(30)));
    lblArea->adjustSize();
    l.setVisible(false); // the band has nothing left to follow
}

void frmMain::addVertex(float X, float Y)
{
    std::vector<Vertex>& vertices = VertexList();
    if (vertices.empty())
        PSet(QPointF(X, Y), kVertexRed);
    vertices.push_back(Vertex {X, Y});
    if (vertices.size() > 1) {
        const Vertex& previous = vertices[vertices.size() - 2];
        Line(QPointF(previous.X, previous.Y), QPointF(X, Y), kVertexRed);
    }
}

void frmMain::Form_MouseMove(float X, float Y)
{
    AlignToGrid(X, Y, GridSpacing(snapFraction()));
    if (Y > kPlaneBottom)
        return;

    const std::vector<Vertex>& vertices = VertexList();
    const bool entering = lblArea->text() == kAreaCaption && !vertices.empty();
    QColor colour = kBandNormal;
    if (entering && vertices.size() >= 3 && X == vertices.front().X && Y == vertices.front().Y)
        colour = kBandOnFirst;

    // One change of the band per move, so only its old and new strips repaint.
    l.setVisible(false);
    l.setBorderColor(colour);
    if (entering) {
        l.setLine(QLineF(vertices.back().X, vertices.back().Y, X, Y));
        l.setVisible(true);
    } else {
        l.setX2(X);
        l.setY2(Y);
    }
}

void frmMain::paintAbove(QPainter& painter, const QRect&)
{
    l.paint(painter);
    keyCursor.paint(painter);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Windows this one owns (a viewer left open after a capture) stay loaded: the program
    // ends with its last window, not with this one.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible()) {
            const QRect geometry = child->geometry();
            child->setParent(nullptr, child->windowFlags());
            child->setGeometry(geometry);
            child->show();
        }
    }
    forms::DrawingSurface::closeEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // Opacity follows a click on the slider (or the release after dragging its thumb),
    // not every change of its value.
    if (watched == Slider && event->type() == QEvent::MouseButtonRelease)
        Slider_Click();
    return forms::DrawingSurface::eventFilter(watched, event);
}

void frmMain::Slider_Click()
{
    SetTransparency(*this, static_cast<std::uint8_t>(Slider->value()));
}

void frmMain::Capture_Click()
{
    forms::ShowModal(capture::frmScreenCapture::instance(), *this);
}

void frmMain::cmdCoordinateList_Click()
{
    forms::ShowModal(coordinates::frmCoordinates::instance(), *this);
}

void frmMain::Quit_Click()
{
    // Ends at once: no window gets a chance to object.
    QCoreApplication::exit(0);
}

} // namespace plotter
