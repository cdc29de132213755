#include "coordinates/frmCoordinates.h"
#include "plotter/frmMain.h"
#include "vertices/Module.h"

#include "Clipboard.h"
#include "ModalDialogs.h"

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

using coordinates::frmCoordinates;

namespace {

// A click as the window system delivers it, so a modal window can block it.
void click(QWidget& window, QPoint at)
{
    QTest::mouseMove(window.windowHandle(), at);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

void clickControl(QWidget& window, const char* name)
{
    auto* control = window.findChild<QWidget*>(QString::fromLatin1(name));
    if (!control)
        qFatal("no control %s", name);
    click(window, control->mapTo(&window, control->rect().center()));
}

QStringList listed()
{
    auto* list = frmCoordinates::instance().findChild<QListWidget*>(QStringLiteral("List1"));
    QStringList items;
    for (int i = 0; list && i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

} // namespace

// The list as a user reaches it: vertices placed with the mouse on the main window, then its
// Coordinate LIst button.
class tst_listFromMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsWhatWasPlotted();

private:
    QTemporaryDir home;
};

void tst_listFromMainWindow::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(home.isValid());
    qputenv("HOME", QFile::encodeName(home.path()));
}

void tst_listFromMainWindow::listsWhatWasPlotted()
{
    plotter::frmMain& main = plotter::frmMain::instance();
    main.Show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    for (QPoint at : {QPoint(150, 450), QPoint(240, 450), QPoint(240, 330)})
        click(main, at);
    QCOMPARE(plotter::VertexList().size(), std::size_t(3));

    clickControl(main, "cmdCoordinateList");
    QTRY_VERIFY_WITH_TIMEOUT(
        qobject_cast<frmCoordinates*>(QApplication::activeModalWidget()) != nullptr, 3000);
    QPointer<frmCoordinates> list = &frmCoordinates::instance();
    QCOMPARE(list->parentWidget(), &main);
    QCOMPARE(listed(), (QStringList {"(0, 0)", "(3, 0)", "(3, 4)"}));

    // The plane takes no clicks while the list is open.
    click(main, QPoint(150, 330));
    QCOMPARE(plotter::VertexList().size(), std::size_t(3));

    list->close();
    QTRY_VERIFY(list.isNull());
    click(main, QPoint(150, 330));
    QCOMPARE(plotter::VertexList().size(), std::size_t(4));

    clickControl(main, "cmdCoordinateList");
    QTRY_VERIFY_WITH_TIMEOUT(
        qobject_cast<frmCoordinates*>(QApplication::activeModalWidget()) != nullptr, 3000);
    list = &frmCoordinates::instance();
    QCOMPARE(listed(), (QStringList {"(0, 0)", "(3, 0)", "(3, 4)", "(0, 4)"}));

    // Copied for another program, then saved to the home folder.
    clickControl(*list, "Command3");
    QCOMPARE(clipboardSeenByAnotherClient(), QStringLiteral("(0, 0),(3, 0),(3, 4),(0, 4)"));
    const std::vector<SeenMessageBox> boxes
        = catchMessageBoxes([&] { clickControl(*list, "CMDSAVE"); }, 1);
    QCOMPARE(boxes.size(), std::size_t(1));
    QCOMPARE(boxes.front().text, QStringLiteral("List Saved"));
    QFile saved(QDir(home.path()).filePath(QStringLiteral("pointslog.txt")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("(0, 0)\r\n(3, 0)\r\n(3, 4)\r\n(0, 4)\r\n"));

    list->close();
    QTRY_VERIFY(list.isNull());
}

QTEST_MAIN(tst_listFromMainWindow)
#include "tst_listFromMainWindow.moc"
