#include "forms/DisplayPainting.h"
#include "forms/NoStoredSettings.h"
#include "forms/WaylandBuffers.h"
#include "plotter/frmMain.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

// What Qt and the display libraries say while Qt looks for a display is kept back (the
// standard error goes to a temporary file meanwhile), so that a failure ends in one clear
// line instead of Qt's advice to reinstall; once a display is open it is passed on.
QtMessageHandler previousHandler = nullptr;
QByteArray platformsTried;
QByteArrayList platformsMissing;
int realStderr = -1;
std::FILE* keptBack = nullptr;

void holdStderr()
{
    std::fflush(stderr);
    keptBack = std::tmpfile();
    if (!keptBack)
        return;
    realStderr = ::dup(STDERR_FILENO);
    if (realStderr < 0 || ::dup2(::fileno(keptBack), STDERR_FILENO) < 0) {
        std::fclose(keptBack);
        keptBack = nullptr;
    }
}

// Gives standard error back, passing on what was kept back or dropping it.
void releaseStderr(bool passOn)
{
    if (!keptBack)
        return;
    std::fflush(stderr);
    ::dup2(realStderr, STDERR_FILENO);
    ::close(realStderr);
    std::rewind(keptBack);
    char chunk[4096];
    for (std::size_t got; passOn && (got = std::fread(chunk, 1, sizeof chunk, keptBack)) > 0;)
        std::fwrite(chunk, 1, got, stderr);
    std::fclose(keptBack);
    keptBack = nullptr;
}

QByteArray optionValue(int argc, char* argv[], const char* option)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], option) == 0
            || (argv[i][0] == '-' && qstrcmp(argv[i] + 1, option) == 0))
            return argv[i + 1];
    return {};
}

// The display each platform Qt tried would have opened.
QByteArray displaysTried(int argc, char* argv[])
{
    QByteArrayList names;
    for (const QByteArray& platform : platformsTried.split(';')) {
        if (platform.startsWith("xcb")) {
            QByteArray display = optionValue(argc, argv, "-display");
            if (display.isEmpty())
                display = qgetenv("DISPLAY");
            names << (display.isEmpty() ? QByteArray("X11 display (DISPLAY is not set)")
                                        : "X11 display \"" + display + '"');
        } else if (platform.startsWith("wayland")) {
            const QByteArray socket
                = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"))
                      .toLocal8Bit();
            names << "Wayland display \"" + socket + '"';
        } else if (!platform.isEmpty()) {
            names << "platform \"" + platform + '"';
        }
        if (!platform.isEmpty() && platformsMissing.contains(platform))
            names.last() += " (its Qt platform plugin is not installed)";
    }
    return names.isEmpty() ? QByteArray("the default display") : names.join(" or ");
}

int savedArgc = 0;
char** savedArgv = nullptr;

void startupHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        // Any other fatal error keeps Qt's own words, still on one line.
        const QByteArray line = platformsTried.isEmpty()
                                    ? "zarnel: " + message.simplified().toLocal8Bit() + '\n'
                                    : "zarnel: no display could be opened (tried "
                                          + displaysTried(savedArgc, savedArgv) + ").\n";
        const int out = keptBack ? realStderr : STDERR_FILENO;
        if (::write(out, line.constData(), line.size()) < 0) {
            // Nowhere left to say it; the status still tells.
        }
        std::_Exit(1);
    }
    // "Could not load the Qt platform plugin "xcb" ..." names what was tried.
    const QString marker = QStringLiteral("platform plugin \"");
    if (const qsizetype at = message.indexOf(marker); at >= 0) {
        const qsizetype start = at + marker.size();
        const QByteArray name
            = message.mid(start, message.indexOf(QLatin1Char('"'), start) - start).toLocal8Bit();
        if (!platformsTried.split(';').contains(name))
            platformsTried += (platformsTried.isEmpty() ? "" : ";") + name;
        if (message.contains(QLatin1String("Could not find")))
            platformsMissing << name;
    }
    previousHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    savedArgc = argc;
    savedArgv = argv;
    forms::PaintWithoutGl();
    previousHandler = qInstallMessageHandler(startupHandler);
    holdStderr();
    QApplication app(argc, argv);
    // On a display Qt cannot paint on, its complaints while trying are beside the point.
    const bool paints = forms::CanPaintOnDisplay();
    releaseStderr(paints);
    qInstallMessageHandler(previousHandler);
    if (!paints) {
        std::fprintf(stderr, "zarnel: the display's colour depth (%d bits) is not supported.\n",
                     QGuiApplication::primaryScreen()->depth());
        return 1;
    }
    QApplication::setApplicationName(QStringLiteral("Zarnel"));
    forms::StoreNoSettings();
    plotter::frmMain::instance().Show();
    return QApplication::exec();
}
