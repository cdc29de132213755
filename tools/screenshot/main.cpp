// Renders the main window with a closed polygon to a PNG for the README:
//   zarnel_screenshot OUT.png
// Drives the window through real mouse events, then grabs it from the X server.
#include "plotter/frmMain.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        qCritical("usage: zarnel_screenshot OUT.png");
        return 2;
    }
    plotter::frmMain& window = plotter::frmMain::instance();
    window.Show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    // The 3-4-5 right triangle and a fourth vertex, closed on vertex 1.
    const QPoint clicks[] = {{150, 450}, {240, 450}, {240, 330}, {180, 300}, {150, 450}};
    for (const QPoint& at : clicks) {
        QTest::mouseMove(&window, at);
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, at);
        QTest::qWait(30);
    }
    QTest::qWait(200);
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
