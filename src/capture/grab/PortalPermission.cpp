#include "capture/grab/PortalPermission.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QStringList>

namespace capture::portal {
namespace {

const QString kStore = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
const QString kStorePath = QStringLiteral("/org/freedesktop/impl/portal/PermissionStore");
const QString kTable = QStringLiteral("screenshot");
// Programs outside a sandbox have no application id: the portal files them under "".
const QString kHostPrograms;

} // namespace

ScreenshotPermission StoredScreenshotPermission(const QDBusConnection& bus)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(kStore, kStorePath, kStore, QStringLiteral("Lookup"));
    call << kTable << kTable;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 2000);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorName() == QLatin1String("org.freedesktop.portal.Error.NotFound")
                   ? ScreenshotPermission::NotAsked
                   : ScreenshotPermission::Unknown;
    if (reply.arguments().isEmpty())
        return ScreenshotPermission::Unknown;
    const auto permissions
        = qdbus_cast<QMap<QString, QStringList>>(reply.arguments().at(0).value<QDBusArgument>());
    const QStringList ours = permissions.value(kHostPrograms);
    if (ours.contains(QLatin1String("yes")))
        return ScreenshotPermission::Allowed;
    if (ours.contains(QLatin1String("no")))
        return ScreenshotPermission::Refused;
    return ScreenshotPermission::NotAsked;
}

QString AllowScreenshotsCommand()
{
    return QStringLiteral("gdbus call --session --dest %1 --object-path %2 --method "
                          "%1.SetPermission %3 true %3 '' \"['yes']\"")
        .arg(kStore, kStorePath, kTable);
}

} // namespace capture::portal
