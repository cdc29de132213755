#include "coordinates/frmCoordinates.h"

#include "coordinates/CoordinateText.h"
#include "coordinates/mdlList.h"
#include "forms/WindowRole.h"
#include "vertices/Module.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>

namespace coordinates {
namespace {

template <class Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// The design's buttons were drawn for a small system font; a larger desktop font would cut
// the caption off, so it steps down until the caption fits.
void fitCaption(QPushButton& button)
{
    constexpr int margin = 8; // room for the bevel and the focus frame
    QFont font = button.font();
    const QString caption = QString(button.text()).remove(QLatin1Char('&'));
    while (QFontMetrics(font).horizontalAdvance(caption) + margin > button.width()
           && font.pointSizeF() > 6.0)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != button.font())
        button.setFont(font);
}

} // namespace

// Where the list is saved unless the user picks another file.
#ifdef Q_OS_WIN
QString DefaultListPath()
{
    return QStringLiteral("c:\\pointslog.txt");
}
#else
QString DefaultListPath()
{
    return QDir::home().absoluteFilePath(QStringLiteral("pointslog.txt"));
}
#endif

frmCoordinates::frmCoordinates()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmCoordinates"));
    setWindowTitle(QStringLiteral("Coordinate List"));
    setFixedSize(190, 496);
    forms::SetWindowRole(staticMetaObject, QAccessible::Dialog);
    buildControls();
    // As the close box: the window unloads, and the next opening loads it afresh.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("closeList"));
    connect(escape, &QShortcut::activated, this, [this] { forms::Unload(*this); });
    Form_Load();
}

void frmCoordinates::buildControls()
{
    // The list is a little wider than the window, so its right edge lies outside.
    List1 = place(new QListWidget(this), "List1", 0, 0, 193, 366);
    List1->setSortingEnabled(false);
    QPalette grey = List1->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    List1->setPalette(grey);
    List1->setAccessibleName(windowTitle());

    Command3 = place(new QPushButton(QStringLiteral("Copy List To Clipboard"), this), "Command3",
                     24, 376, 137, 33);
    Command3->setToolTip(QStringLiteral(
        "This clears your clipboard, then copies list1 to your clipboard, by pressing CTRL+V you "
        "will paste the contents of list1 anywhere you want."));
    fitCaption(*Command3);
    connect(Command3, &QPushButton::clicked, this, &frmCoordinates::Command3_Click);

    CMDSAVE = place(new QPushButton(QStringLiteral("&Save"), this), "CMDSAVE", 24, 424, 137, 25);
    fitCaption(*CMDSAVE);
    connect(CMDSAVE, &QPushButton::clicked, this, &frmCoordinates::CMDSAVE_Click);

    txtLog = place(new QLineEdit(DefaultListPath(), this), "txtLog", 24, 464, 137, 19);
    txtLog->setToolTip(QStringLiteral("List Location"));
    txtLog->setAccessibleName(txtLog->toolTip());

    for (QWidget* control : {static_cast<QWidget*>(List1), static_cast<QWidget*>(Command3),
                             static_cast<QWidget*>(CMDSAVE), static_cast<QWidget*>(txtLog)})
        control->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(List1, CMDSAVE);
    setTabOrder(CMDSAVE, txtLog);
    setTabOrder(txtLog, Command3);
}

void frmCoordinates::Form_Load()
{
    for (const plotter::Vertex& vertex : plotter::VertexList())
        List1->addItem(CoordinateText(vertex));
}

void frmCoordinates::Command3_Click()
{
    QStringList lines;
    lines.reserve(List1->count());
    for (int i = 0; i < List1->count(); ++i)
        lines.append(List1->item(i)->text());
    // A clipboard that cannot be reached is not worth a message: the user just pastes again.
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->clear();
        clipboard->setText(JoinCoordinateLines(lines));
    }
}

void frmCoordinates::CMDSAVE_Click()
{
    SaveList(txtLog->text(), *List1);
}

void frmCoordinates::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    forms::CentreOnScreen(*this, parentWidget() ? parentWidget()->screen() : nullptr);
}

} // namespace coordinates
