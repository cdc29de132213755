#pragma once

// The GNOME Shell of the session the test runs in (tests/support/on_gnome.sh), reached over
// its session bus: the shell's own screenshot, where its windows lie, and the portal's
// permission store. The test session's extension lets any caller use Eval and Screenshot.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRect>
#include <QTemporaryDir>

#include <optional>

namespace gnome {

inline QDBusMessage callOnBus(const QString& service, const QString& path, const QString& iface,
                              const QString& method, const QVariantList& args, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, iface, method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, timeoutMs);
}

// What a script run inside the shell returns (as JSON text), or nothing when it failed.
inline std::optional<QString> eval(const QString& script)
{
    const QDBusMessage reply
        = callOnBus(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                    QStringLiteral("org.gnome.Shell"), QStringLiteral("Eval"), {script}, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2
        || !reply.arguments().at(0).toBool())
        return std::nullopt;
    return reply.arguments().at(1).toString();
}

// The whole screen as the shell itself shows it, without the pointer and without a flash.
inline QImage screenshot()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("shell.png"));
    const QDBusMessage reply = callOnBus(QStringLiteral("org.gnome.Shell.Screenshot"),
                                         QStringLiteral("/org/gnome/Shell/Screenshot"),
                                         QStringLiteral("org.gnome.Shell.Screenshot"),
                                         QStringLiteral("Screenshot"), {false, false, file}, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()
        || !reply.arguments().at(0).toBool())
        return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

// A script expression for the shell's window of this process with that title.
inline QString windowOf(const QString& title)
{
    const QString quoted = QString::fromUtf8(
        QJsonDocument(QJsonArray {title}).toJson(QJsonDocument::Compact).mid(1).chopped(1));
    return QStringLiteral("global.get_window_actors().map(a => a.meta_window)"
                          ".find(w => w.get_pid() === %1 && w.get_title() === %2)")
        .arg(QCoreApplication::applicationPid())
        .arg(quoted);
}

// Everything the window draws on the screen, its decorations included, as the shell has it.
inline QRect windowArea(const QString& title)
{
    const std::optional<QString> json
        = eval(QStringLiteral(
                   "(w => w ? (r => [r.x, r.y, r.width, r.height])(w.get_buffer_rect()) : [])(%1)")
                   .arg(windowOf(title)));
    if (!json)
        return {};
    const QJsonArray r = QJsonDocument::fromJson(json->toUtf8()).array();
    return r.size() == 4 ? QRect(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt()) : QRect();
}

// Asks the shell to move the window's frame there, as the user would by dragging it.
inline bool moveWindow(const QString& title, QPoint to)
{
    return eval(QStringLiteral("(w => { w.move_frame(true, %2, %3); return true; })(%1)")
                    .arg(windowOf(title))
                    .arg(to.x())
                    .arg(to.y()))
           == QStringLiteral("true");
}

// The screenshot permission of programs outside a sandbox (application id ""), as the
// portal keeps it: "yes", "no", or empty when none is stored.
inline bool setScreenshotPermission(const QString& value)
{
    const QString store = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
    const QString path = QStringLiteral("/org/freedesktop/impl/portal/PermissionStore");
    const QString shot = QStringLiteral("screenshot");
    QDBusMessage reply;
    if (value.isEmpty()) {
        reply = callOnBus(store, path, store, QStringLiteral("DeletePermission"),
                          {shot, shot, QString()}, 5000);
        // Nothing stored is what was asked for.
        return reply.type() == QDBusMessage::ReplyMessage
               || reply.errorName() == QLatin1String("org.freedesktop.portal.Error.NotFound");
    }
    reply = callOnBus(store, path, store, QStringLiteral("SetPermission"),
                      {shot, true, shot, QString(), QStringList {value}}, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace gnome
