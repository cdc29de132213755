// Renders the program's icon for the desktop's application menu:
// zarnel_icons DIR writes DIR/<size>x<size>/apps/zarnel.png at each size the menus use.
#include "plotter/AppIcon.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarnel_icons OUTPUT-DIRECTORY\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = root.filePath(folder + QStringLiteral("/zarnel.png"));
        if (!root.mkpath(folder) || !plotter::AppIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "zarnel_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
