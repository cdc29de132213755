#pragma once

#include "forms/DrawingSurface.h"
#include "forms/FormInstance.h"
#include "forms/LineControl.h"
#include "plotter/PlaneCursor.h"
#include "vertices/Module.h"

#include <span>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace plotter {

// The main window: the coordinate plane on which the user plots a polygon, and the strip
// of controls below it.
class frmMain : public forms::DrawingSurface, public forms::SingleInstance<frmMain> {
    Q_OBJECT
public:
    // Shows the window, centred on the screen the first time.
    void Show();

    // Snaps a point to the grid in place, X first, then Y.
    void AlignToGrid(float& X, float& Y, float GridSpacing) const;

    // The rubber band that follows the pointer from the last vertex.
    const forms::LineControl& rubberBand() const { return l; }

    // The keyboard cursor: Ctrl+arrows move it, Ctrl+Enter or Ctrl+Space press where it is.
    const PlaneCursor& keyboardCursor() const { return keyCursor; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintAbove(QPainter& painter, const QRect& dirty) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmMain();
    template <class> friend class forms::FormInstance;

    void buildControls();
    bool onControl(QPointF at) const;
    void Form_Load();
    void Form_MouseDown(float X, float Y);
    void Form_MouseMove(float X, float Y);
    float snapFraction() const;
    void closePolygon();
    void addVertex(float X, float Y);

    // Backspace or Ctrl+Z takes back the last vertex, Escape the whole polygon being entered.
    void addCorrectionKeys();
    void takeBackVertex();
    void abandonPolygon();

    // The keyboard cursor, whichever strip control has the focus; a mouse move hides it.
    void addCursorKeys();
    void moveCursor(int dx, int dy, bool wholeUnit);
    void pressAtCursor();
    void showCursorAt(QPointF at);
    bool pointerMoved(const QMouseEvent& event);
    void hideCursor();
    void describeCursor(const QString& where);

    // Ctrl+V with a coordinate list on the clipboard, or a list file dropped, replaces the
    // polygon with the list's.
    void addPasteAndDrop();
    void pasteList();
    void openListFile(const QString& path);
    void plotListText(const QString& text, const QString& refusal);
    void plotPresses(std::span<const Vertex> presses);

    void Slider_Click();
    void Capture_Click();
    void cmdCoordinateList_Click();
    void Quit_Click();

    forms::LineControl l;
    PlaneCursor keyCursor;
    QPoint pointerAtCursorStart; // where the pointer rested when the cursor came up
    QFrame* Shape1 = nullptr;
    QLabel* Label1 = nullptr;
    QRadioButton* o1 = nullptr;
    QRadioButton* o2 = nullptr;
    QRadioButton* o3 = nullptr;
    QRadioButton* o4 = nullptr;
    QButtonGroup* snapGroup = nullptr;
    QLabel* Label1a = nullptr;
    QSlider* Slider = nullptr;
    QPushButton* Capture = nullptr;
    QLabel* lblArea = nullptr;
    QPushButton* cmdCoordinateList = nullptr;
    QPushButton* Quit = nullptr;
    bool shownOnce = false;
};

} // namespace plotter
