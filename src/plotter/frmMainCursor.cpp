// The main window's keyboard cursor: a cross on the plane that Ctrl+arrows move and
// Ctrl+Enter (or Ctrl+Space) presses at, so a polygon can be entered without a mouse.
#include "plotter/frmMain.h"

#include "coordinates/CoordinateText.h"
#include "plotter/GridSnap.h"
#include "vertices/Module.h"

#include <QCursor>
#include <QMouseEvent>
#include <QShortcut>

namespace plotter {
namespace {

constexpr float kWholeUnit = 30.0f;

struct Step {
    Qt::Key key;
    int dx;
    int dy;
};
constexpr Step kSteps[]
    = {{Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1}};

// Where the cursor comes up: on the last vertex, or on the origin of an empty plane.
QPointF cursorStart()
{
    const std::vector<Vertex>& vertices = VertexList();
    return vertices.empty() ? QPointF(150, 450) : QPointF(vertices.back().X, vertices.back().Y);
}

} // namespace

void frmMain::addCursorKeys()
{
    // Window-wide like the correction keys. Ctrl keeps them clear of the plain arrows, which
    // the option buttons and the slider keep for themselves.
    for (const Step& step : kSteps) {
        for (const bool wholeUnit : {false, true}) {
            const Qt::KeyboardModifiers modifiers
                = wholeUnit ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
            auto* shortcut = new QShortcut(QKeySequence(modifiers | step.key), this);
            connect(shortcut, &QShortcut::activated, this,
                    [this, step, wholeUnit] { moveCursor(step.dx, step.dy, wholeUnit); });
        }
    }
    auto* press = new QShortcut(this);
    press->setObjectName(QStringLiteral("pressAtCursor"));
    press->setKeys({QKeySequence(Qt::ControlModifier | Qt::Key_Return),
                    QKeySequence(Qt::ControlModifier | Qt::Key_Enter),
                    QKeySequence(Qt::ControlModifier | Qt::Key_Space)});
    connect(press, &QShortcut::activated, this, &frmMain::pressAtCursor);
}

void frmMain::moveCursor(int dx, int dy, bool wholeUnit)
{
    const float spacing = GridSpacing(snapFraction());
    const QPointF from = keyCursor.isVisible() ? keyCursor.position() : cursorStart();
    showCursorAt(StepCursor(from, dx, dy, wholeUnit ? kWholeUnit : spacing, spacing));
}

void frmMain::pressAtCursor()
{
    const float spacing = GridSpacing(snapFraction());
    if (!keyCursor.isVisible()) {
        // Nothing to press at yet: the key brings the cursor up, so the user sees (and
        // hears) where the next one presses.
        showCursorAt(StepCursor(cursorStart(), 0, 0, 0, spacing));
        return;
    }
    // A snap chosen since the last step applies to the press; the cursor goes where the
    // vertex goes.
    const QPointF at = StepCursor(keyCursor.position(), 0, 0, 0, spacing);
    showCursorAt(at);
    Form_MouseDown(static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void frmMain::showCursorAt(QPointF at)
{
    if (!keyCursor.isVisible())
        pointerAtCursorStart = QCursor::pos(screen());
    keyCursor.moveTo(at);
    keyCursor.setVisible(true);
    // The band follows the cursor as it follows the pointer.
    Form_MouseMove(static_cast<float>(at.x()), static_cast<float>(at.y()));
    describeCursor(coordinates::CoordinateText(
        Vertex {static_cast<float>(at.x()), static_cast<float>(at.y())}));
}

bool frmMain::pointerMoved(const QMouseEvent& event)
{
    if (!keyCursor.isVisible())
        return true;
    // Qt repeats the pointer's position to the window under it when windows come and go;
    // only a move of the pointer itself takes over from the keyboard.
    if (event.globalPosition().toPoint() == pointerAtCursorStart)
        return false;
    hideCursor();
    return true;
}

void frmMain::hideCursor()
{
    keyCursor.setVisible(false);
    describeCursor(QString());
}

void frmMain::describeCursor(const QString& where)
{
    // Qt tells assistive technology of every description it is given, and a screen reader
    // reads the place out each time: only a new place is news.
    if (where != accessibleDescription())
        setAccessibleDescription(where);
}

} // namespace plotter
