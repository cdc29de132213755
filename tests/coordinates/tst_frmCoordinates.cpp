#include "coordinates/frmCoordinates.h"
#include "vertices/Module.h"

#include "Clipboard.h"
#include "ModalDialogs.h"

#include <QAccessible>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

using namespace testsupport;

using coordinates::frmCoordinates;
using plotter::Vertex;

namespace {

QStringList itemsOf(const QListWidget& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items.append(list.item(i)->text());
    return items;
}

} // namespace

class tst_frmCoordinates : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void design();
    void controls_data();
    void controls();
    void textsFitTheirControls();
    void focusOrder();
    void listsEveryVertex_data();
    void listsEveryVertex();
    void loadsAfreshAtEachOpening_data();
    void loadsAfreshAtEachOpening();
    void ownerTakesNoInputWhileOpen();
    void copiesToAnotherClient_data();
    void copiesToAnotherClient();
    void savesToTheDefaultPath();
    void savesToATypedPath_data();
    void savesToATypedPath();

private:
    frmCoordinates& open();
    template <class Control> Control& control(const char* name);

    QTemporaryDir home;
    QWidget owner;
    QPointer<frmCoordinates> form;
};

void tst_frmCoordinates::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The default path lives in the home folder: keep it away from the real one.
    QVERIFY(home.isValid());
    qputenv("HOME", QFile::encodeName(home.path()));
    owner.setObjectName(QStringLiteral("owner"));
    owner.resize(400, 300);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
}

void tst_frmCoordinates::init()
{
    plotter::VertexList().clear();
}

void tst_frmCoordinates::cleanup()
{
    if (form)
        form->close();
    QTRY_VERIFY(form.isNull());
}

frmCoordinates& tst_frmCoordinates::open()
{
    frmCoordinates& window = frmCoordinates::instance();
    form = &window;
    forms::ShowModal(window, owner);
    return window;
}

template <class Control> Control& tst_frmCoordinates::control(const char* name)
{
    auto* found = form->findChild<Control*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return *found;
}

// A fixed, centred tool window of 190 x 496 client pixels, no minimise or maximise button.
void tst_frmCoordinates::design()
{
    frmCoordinates& window = open();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.objectName(), QStringLiteral("frmCoordinates"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Coordinate List"));
    QCOMPARE(window.size(), QSize(190, 496));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(window.frameGeometry().center(), window.screen()->availableGeometry().center());
    // Assistive technology hears a dialog named by its caption.
    QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(&window);
    QCOMPARE(dialog->role(), QAccessible::Dialog);
    QCOMPARE(dialog->text(QAccessible::Name), QStringLiteral("Coordinate List"));

    const QListWidget& list = control<QListWidget>("List1");
    QVERIFY(!list.isSortingEnabled());
    QCOMPARE(list.palette().color(QPalette::Base), QColor(192, 192, 192));
    // The list's own pixels show the grey, not just its palette.
    const QImage shot = list.viewport()->grab().toImage();
    QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() / 2).rgb(),
             QColor(192, 192, 192).rgb());
}

void tst_frmCoordinates::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("List1") << "List1" << QRect(0, 0, 193, 366) << QString() << QString();
    QTest::newRow("Command3")
        << "Command3" << QRect(24, 376, 137, 33) << "Copy List To Clipboard"
        << "This clears your clipboard, then copies list1 to your clipboard, by pressing CTRL+V "
           "you will paste the contents of list1 anywhere you want.";
    QTest::newRow("CMDSAVE") << "CMDSAVE" << QRect(24, 424, 137, 25) << "&Save" << QString();
    QTest::newRow("txtLog") << "txtLog" << QRect(24, 464, 137, 19)
                            << QDir(home.path()).absoluteFilePath("pointslog.txt")
                            << "List Location";
}

void tst_frmCoordinates::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);

    open();
    auto* widget = form->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->toolTip(), toolTip);
    QVERIFY(widget->focusPolicy() & Qt::TabFocus);
    if (auto* button = qobject_cast<QPushButton*>(widget))
        QCOMPARE(button->text(), text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QCOMPARE(edit->text(), text);
        QVERIFY(QFileInfo(edit->text()).isAbsolute());
    }
}

// Captions and the default path must be readable in full, not cut by their controls.
void tst_frmCoordinates::textsFitTheirControls()
{
    open();
    for (const char* name : {"Command3", "CMDSAVE"}) {
        const QPushButton& button = control<QPushButton>(name);
        const QString caption = QString(button.text()).remove(QLatin1Char('&'));
        const int needed = button.fontMetrics().horizontalAdvance(caption);
        QVERIFY2(needed + 8 <= button.width(), name);
    }
    const QLineEdit& path = control<QLineEdit>("txtLog");
    QVERIFY(path.fontMetrics().height() <= path.height());
}

// Tab walks List1, CMDSAVE, txtLog, Command3 and back to List1.
void tst_frmCoordinates::focusOrder()
{
    frmCoordinates& window = open();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    control<QListWidget>("List1").setFocus();
    QStringList order {QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(order, (QStringList {"List1", "CMDSAVE", "txtLog", "Command3", "List1"}));
}

void tst_frmCoordinates::listsEveryVertex_data()
{
    QTest::addColumn<std::vector<Vertex>>("vertices");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("no vertices") << std::vector<Vertex> {} << QStringList();
    QTest::newRow("triangle in order") << std::vector<Vertex> {{150, 450}, {240, 450}, {240, 330}}
                                       << QStringList {"(0, 0)", "(3, 0)", "(3, 4)"};
    QTest::newRow("repeated vertex kept")
        << std::vector<Vertex> {{150, 450}, {180, 450}, {150, 450}}
        << QStringList {"(0, 0)", "(1, 0)", "(0, 0)"};
    QTest::newRow("below and left of the axes")
        << std::vector<Vertex> {{0, 600}, {142.5, 457.5}, {156, 444}}
        << QStringList {"(-5, -5)", "(-0.25, -0.25)", "(0.2, 0.2)"};
}

// Unsorted: the items keep the order in which the vertices were placed.
void tst_frmCoordinates::listsEveryVertex()
{
    QFETCH(std::vector<Vertex>, vertices);
    QFETCH(QStringList, items);
    plotter::VertexList() = vertices;
    open();
    QCOMPARE(itemsOf(control<QListWidget>("List1")), items);
}

// Closing, by the close box or by Escape from any control, unloads the window: the next
// opening lists the vertices as they are then and shows the default path again.
void tst_frmCoordinates::loadsAfreshAtEachOpening_data()
{
    QTest::addColumn<QString>("escapeFrom"); // empty: the close box
    QTest::newRow("close box") << QString();
    for (const char* focus : {"List1", "CMDSAVE", "txtLog", "Command3"})
        QTest::newRow(focus) << QString::fromLatin1(focus);
}

void tst_frmCoordinates::loadsAfreshAtEachOpening()
{
    QFETCH(QString, escapeFrom);
    plotter::VertexList() = {{150, 450}, {240, 450}};
    open();
    QCOMPARE(itemsOf(control<QListWidget>("List1")), (QStringList {"(0, 0)", "(3, 0)"}));
    const QString defaultPath = control<QLineEdit>("txtLog").text();
    control<QLineEdit>("txtLog").setText(QStringLiteral("/somewhere/else.txt"));

    if (escapeFrom.isEmpty()) {
        form->close();
    } else {
        form->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), form.data());
        control<QWidget>(qPrintable(escapeFrom)).setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
    QTRY_VERIFY(form.isNull());
    plotter::VertexList().push_back({240, 330});

    open();
    QCOMPARE(itemsOf(control<QListWidget>("List1")), (QStringList {"(0, 0)", "(3, 0)", "(3, 4)"}));
    QCOMPARE(control<QLineEdit>("txtLog").text(), defaultPath);
}

// The list is modal over its owner: a click on the owner does nothing until it closes.
void tst_frmCoordinates::ownerTakesNoInputWhileOpen()
{
    QPushButton button(QStringLiteral("Behind"), &owner);
    button.setGeometry(10, 10, 100, 30);
    button.show();
    int clicks = 0;
    connect(&button, &QPushButton::clicked, this, [&clicks] { ++clicks; });

    frmCoordinates& window = open();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(QApplication::activeModalWidget(), &window);
    QVERIFY(window.parentWidget() == &owner);
    // Through the window system, where modality is enforced.
    const QPoint onButton = button.mapTo(&owner, button.rect().center());
    QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {}, onButton);
    QCOMPARE(clicks, 0);

    window.close();
    QTRY_VERIFY(form.isNull());
    QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {}, onButton);
    QCOMPARE(clicks, 1);
}

void tst_frmCoordinates::copiesToAnotherClient_data()
{
    QTest::addColumn<std::vector<Vertex>>("vertices");
    QTest::addColumn<QString>("text");
    QTest::newRow("triangle") << std::vector<Vertex> {{150, 450}, {240, 450}, {240, 330}}
                              << "(0, 0),(3, 0),(3, 4)";
    QTest::newRow("one vertex") << std::vector<Vertex> {{156, 444}} << "(0.2, 0.2)";
    QTest::newRow("empty list") << std::vector<Vertex> {} << QString();
}

// What the copy button puts on the clipboard is what another program pastes; the old
// clipboard content is gone even when the list is empty.
void tst_frmCoordinates::copiesToAnotherClient()
{
    QFETCH(std::vector<Vertex>, vertices);
    QFETCH(QString, text);
    QGuiApplication::clipboard()->setText(QStringLiteral("stale"));
    QCOMPARE(clipboardSeenByAnotherClient(), QStringLiteral("stale"));

    plotter::VertexList() = vertices;
    frmCoordinates& window = open();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(&control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(clipboardSeenByAnotherClient(), text);
}

// Save writes to the home folder's pointslog.txt unless told otherwise.
void tst_frmCoordinates::savesToTheDefaultPath()
{
    plotter::VertexList() = {{150, 450}, {240, 450}, {240, 330}};
    frmCoordinates& window = open();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QString path = QDir(home.path()).absoluteFilePath(QStringLiteral("pointslog.txt"));
    QFile::remove(path);

    // Alt+S is the button's access key.
    const std::vector<SeenMessageBox> boxes = catchMessageBoxes(
        [&] { QTest::keyClick(window.windowHandle(), Qt::Key_S, Qt::AltModifier); }, 1);
    QCOMPARE(boxes.size(), std::size_t(1));
    QCOMPARE(boxes.front().text, QStringLiteral("List Saved"));
    QCOMPARE(boxes.front().title, QStringLiteral("Tavrin"));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("(0, 0)\r\n(3, 0)\r\n(3, 4)\r\n"));
    QFile::remove(path);
}

void tst_frmCoordinates::savesToATypedPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("typed file name") << "typed.txt"
                                     << "List Saved";
    QTest::newRow("spaces are kept") << " spaced list.txt "
                                     << "List Saved";
    QTest::newRow("folder that does not exist") << "missing/typed.txt"
                                                << "An error has occured No such file or directory";
}

// The typed path goes to the writer as it stands; the window reports what happened.
void tst_frmCoordinates::savesToATypedPath()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    plotter::VertexList() = {{150, 450}};
    frmCoordinates& window = open();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QLineEdit& path = control<QLineEdit>("txtLog");
    path.clear();
    QTest::keyClicks(&path, dir.filePath(name));
    const std::vector<SeenMessageBox> boxes = catchMessageBoxes(
        [&] { QTest::mouseClick(&control<QPushButton>("CMDSAVE"), Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t(1));
    QCOMPARE(boxes.front().text, message);

    const bool saved = message == QLatin1String("List Saved");
    QCOMPARE(QFileInfo::exists(dir.filePath(name)), saved);
    if (saved) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("(0, 0)\r\n"));
    } else {
        QVERIFY(QDir(dir.path()).isEmpty());
    }
}

QTEST_MAIN(tst_frmCoordinates)
#include "tst_frmCoordinates.moc"
