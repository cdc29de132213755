// The main window's keys for correcting the polygon being entered.
#include "plotter/frmMain.h"

#include "plotter/TraceRedraw.h"
#include "plotter/TraceStyle.h"
#include "vertices/Module.h"

#include <QLabel>
#include <QShortcut>

namespace plotter {

void frmMain::addCorrectionKeys()
{
    // Window-wide, so they work whichever strip control has the focus; a control that
    // wants one of these keys for itself claims it first (none of the strip's does).
    auto* takeBack = new QShortcut(this);
    takeBack->setObjectName(QStringLiteral("takeBackVertex"));
    takeBack->setKeys({QKeySequence(Qt::Key_Backspace), QKeySequence(QKeySequence::Undo)});
    connect(takeBack, &QShortcut::activated, this, &frmMain::takeBackVertex);

    auto* abandon = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    abandon->setObjectName(QStringLiteral("abandonPolygon"));
    connect(abandon, &QShortcut::activated, this, &frmMain::abandonPolygon);
}

void frmMain::takeBackVertex()
{
    // A closed polygon and its area stay as they are.
    if (lblArea->text() != kAreaCaption)
        return;
    if (TakeBackVertex(*this, VertexList()))
        AimBand(l, VertexList());
}

void frmMain::abandonPolygon()
{
    if (lblArea->text() != kAreaCaption || VertexList().empty())
        return;
    Cls();
    Form_Load();
    l.setVisible(false);
}

} // namespace plotter
