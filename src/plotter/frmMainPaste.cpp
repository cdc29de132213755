// A coordinate list plotted again: Ctrl+V with the list's text on the clipboard, or a list
// file dropped on the main window, replaces the polygon with the list's.
#include "plotter/frmMain.h"

#include "coordinates/CoordinateParse.h"
#include "coordinates/CoordinateText.h"
#include "coordinates/ListFileRead.h"
#include "forms/FileDrops.h"
#include "forms/MsgBox.h"
#include "plotter/GridSnap.h"
#include "plotter/ListEntry.h"
#include "plotter/TraceStyle.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QShortcut>

namespace plotter {
namespace {

QString quotedName(const QString& path)
{
    return QChar(0x201c) + QFileInfo(path).fileName() + QChar(0x201d);
}

} // namespace

void frmMain::addPasteAndDrop()
{
    forms::AcceptFileDrops(*this, [this](const QString& path) { openListFile(path); });
    // Window-wide, whichever strip control has the focus; none of them pastes.
    auto* paste = new QShortcut(QKeySequence::Paste, this);
    paste->setObjectName(QStringLiteral("pasteList"));
    connect(paste, &QShortcut::activated, this, &frmMain::pasteList);
}

void frmMain::pasteList()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    plotListText(clipboard ? clipboard->text() : QString(),
                 QStringLiteral("The clipboard holds no coordinate list to plot."));
}

void frmMain::openListFile(const QString& path)
{
    const coordinates::ListFileText file = coordinates::ReadListFile(path);
    if (!file.error.isEmpty()) {
        forms::MsgBox(QStringLiteral("%1 cannot be plotted. %2").arg(quotedName(path), file.error),
                      forms::vbInformation);
        return;
    }
    plotListText(file.text,
                 QStringLiteral("%1 is not a coordinate list to plot.").arg(quotedName(path)));
}

void frmMain::plotListText(const QString& text, const QString& refusal)
{
    coordinates::ListReading reading = coordinates::ReadCoordinateList(text);
    ListPresses plan;
    if (reading.ok()) {
        plan = PressesForList(reading.points, GridSpacing(snapFraction()));
        if (plan.closesEarly) {
            reading.fault = coordinates::ListFault::ClosesEarly;
            reading.line = static_cast<int>(*plan.closesEarly) + 1;
            reading.text = coordinates::CoordinateText(reading.points[*plan.closesEarly]);
        }
    }
    // A list that cannot be plotted whole is not plotted at all.
    if (!reading.ok()) {
        forms::MsgBox(refusal + QLatin1Char(' ') + coordinates::ListFaultText(reading),
                      forms::vbInformation);
        return;
    }
    plotPresses(plan.presses);
}

void frmMain::plotPresses(std::span<const Vertex> presses)
{
    hideCursor();
    l.setVisible(false);
    {
        // Everything is drawn afresh, so one painter serves every stroke and one repaint
        // shows them all.
        forms::DrawingSurface::Batch batch(*this, QRegion(rect()));
        // As a press after a closed polygon starts a new one.
        Cls();
        Form_Load();
        lblArea->setText(kAreaCaption);
        lblArea->adjustSize();
        for (const Vertex& press : presses)
            Form_MouseDown(press.X, press.Y);
        // A list is a whole polygon: closed as a click on vertex 1 closes it, unless its
        // last line was that click.
        const std::vector<Vertex>& vertices = VertexList();
        if (lblArea->text() == kAreaCaption && vertices.size() >= 3)
            Form_MouseDown(vertices.front().X, vertices.front().Y);
    }
}

} // namespace plotter
