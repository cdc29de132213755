#include "forms/WaylandBuffers.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace forms {
namespace {

constexpr char kVariable[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";
constexpr char kNone[] = "none";

QtMessageHandler nextHandler = nullptr;

// Qt says that the integration it was told to use does not exist, and lists the ones that
// do; both are what was asked for.
void dropNoGlNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool notice
        = type == QtWarningMsg && qstrcmp(context.category, "qt.qpa.wayland") == 0
          && (message.startsWith(
                  QLatin1String("Failed to load client buffer integration: \"none\""))
              || message.startsWith(QLatin1String("Available client buffer integrations:")));
    if (!notice)
        nextHandler(type, context, message);
}

} // namespace

void PaintWithoutGl()
{
    if (qEnvironmentVariableIsSet(kVariable))
        return;
    qputenv(kVariable, kNone);
    nextHandler = qInstallMessageHandler(dropNoGlNotice);
}

} // namespace forms
