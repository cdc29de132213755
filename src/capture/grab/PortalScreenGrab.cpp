#include "capture/grab/PortalScreenGrab.h"

#include "capture/grab/Desktop.h"
#include "capture/grab/PortalPermission.h"

#include "forms/DesktopSession.h"
#include "forms/ImageFiles.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <cmath>

namespace capture::portal {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

// Waits for the one Response of a request object.
class ResponseWaiter : public QObject {
    Q_OBJECT
public:
    QEventLoop loop;
    bool answered = false;
    uint response = 2;
    QVariantMap results;

public slots:
    void onResponse(uint code, const QVariantMap& values)
    {
        answered = true;
        response = code;
        results = values;
        loop.quit();
    }
};

QString uniqueToken()
{
    static std::atomic<unsigned> counter {0};
    return QStringLiteral("zarnel%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

// The request object the portal creates for our handle_token: it is known before the call,
// so we can listen before the portal could possibly answer.
QString requestPath(const QDBusConnection& bus, const QString& token)
{
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

QString callError(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
        return QObject::tr("no desktop portal is running (%1).").arg(error.message());
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownObject:
        return QObject::tr("the desktop portal offers no screenshots (%1).").arg(error.message());
    case QDBusError::NoReply:
    case QDBusError::Timeout:
        return QObject::tr("the desktop portal did not answer.");
    default:
        return QObject::tr("the desktop portal refused the screenshot (%1).").arg(error.message());
    }
}

bool subscribe(QDBusConnection& bus, const QString& path, ResponseWaiter& waiter)
{
    return bus.connect(kService, path, kRequest, QStringLiteral("Response"), &waiter,
                       SLOT(onResponse(uint, QVariantMap)));
}

// Reads the portal's file and removes it: it was written for us alone.
Shot readAnswer(const QVariantMap& results)
{
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile())
        return {
            {},
            QObject::tr("the desktop portal gave no picture file (\"%1\").").arg(uri.toString())};
    const QString path = uri.toLocalFile();
    forms::LoadedPicture loaded = forms::LoadPicture(path);
    QFile::remove(path);
    if (loaded.picture.isNull())
        return {
            {},
            QObject::tr("the desktop portal's picture could not be read: %1").arg(loaded.error)};
    // A screen has no transparency; the display's own format keeps later copies cheap.
    if (loaded.picture.format() != QImage::Format_RGB32)
        loaded.picture.convertTo(QImage::Format_RGB32);
    return {loaded.picture, {}};
}

QString notAnswered()
{
    return QObject::tr("the desktop asked whether to allow screenshots and the request was not "
                       "answered; capture again to be asked again.");
}

// Response 2 says only that there is no picture: the permission store tells whether the
// user refused, or was asked and did not answer in time.
QString failedBecause(const QDBusConnection& bus)
{
    switch (StoredScreenshotPermission(bus)) {
    case ScreenshotPermission::Refused:
        return QObject::tr("the desktop refused screenshots (it keeps that answer for every "
                           "program outside a sandbox). To allow them again, run: %1")
            .arg(AllowScreenshotsCommand());
    case ScreenshotPermission::NotAsked:
        return notAnswered();
    case ScreenshotPermission::Allowed:
    case ScreenshotPermission::Unknown:
        break;
    }
    return ResponseError(2);
}

} // namespace

QString ResponseError(uint response)
{
    switch (response) {
    case 0:
        return {};
    case 1:
        // Asked without a dialog, nobody cancelled: KDE's portal answers so when it cannot
        // save the picture.
        if (forms::CurrentDesktopIs(QStringLiteral("KDE"))) {
            const QString folder
                = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
            if (!QFileInfo(folder).isDir())
                return QObject::tr("KDE's portal keeps screenshots in %1, which does not "
                                   "exist: create that folder and capture again.")
                    .arg(QDir::toNativeSeparators(folder));
            return QObject::tr("KDE's portal took no screenshot; it answers so when it cannot "
                               "save one in %1.")
                .arg(QDir::toNativeSeparators(folder));
        }
        return QObject::tr("the desktop portal took no screenshot and called the request "
                           "cancelled.");
    default:
        return QObject::tr("the desktop portal could not take the screenshot.");
    }
}

Shot Screenshot(std::chrono::milliseconds timeout)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {{},
                QObject::tr("there is no session bus to reach the desktop portal (%1).")
                    .arg(bus.lastError().message())};

    ResponseWaiter waiter;
    const QString token = uniqueToken();
    const QString expected = requestPath(bus, token);
    if (!subscribe(bus, expected, waiter))
        return {{},
                QObject::tr("the desktop portal's answer cannot be received (%1).")
                    .arg(bus.lastError().message())};

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kScreenshot,
                                                       QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap {{QStringLiteral("handle_token"), token},
                         {QStringLiteral("interactive"), false}};
    QDBusPendingCallWatcher watcher(bus.asyncCall(call, static_cast<int>(timeout.count())));
    QString error;
    QString path = expected;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &waiter, [&] {
        const QDBusPendingReply<QDBusObjectPath> reply = watcher;
        if (reply.isError()) {
            error = callError(reply.error());
            waiter.loop.quit();
        } else if (reply.value().path() != expected && !waiter.answered) {
            // An older portal chose its own request path.
            path = reply.value().path();
            subscribe(bus, path, waiter);
        }
    });
    QTimer::singleShot(timeout, &waiter.loop, [&] {
        if (error.isEmpty())
            error = StoredScreenshotPermission(bus) == ScreenshotPermission::NotAsked
                        ? notAnswered()
                        : QObject::tr("the desktop portal did not answer within %1 seconds.")
                              .arg(timeout.count() / 1000.0);
        waiter.loop.quit();
    });
    if (!waiter.answered && error.isEmpty())
        waiter.loop.exec();

    bus.disconnect(kService, expected, kRequest, QStringLiteral("Response"), &waiter,
                   SLOT(onResponse(uint, QVariantMap)));
    if (path != expected)
        bus.disconnect(kService, path, kRequest, QStringLiteral("Response"), &waiter,
                       SLOT(onResponse(uint, QVariantMap)));
    if (!waiter.answered)
        return {{}, error};
    if (waiter.response == 2)
        return {{}, failedBecause(bus)};
    if (waiter.response != 0)
        return {{}, ResponseError(waiter.response)};
    return readAnswer(waiter.results);
}

forms::Picture CutOut(const forms::Picture& desktopPicture, const QRect& desktop,
                      const QRect& logicalRect)
{
    if (desktopPicture.isNull() || desktop.isEmpty() || logicalRect.isEmpty())
        return {};
    const qreal dpr = qreal(desktopPicture.width()) / desktop.width();
    const QPoint from = logicalRect.topLeft() - desktop.topLeft();
    const QPoint to = from + QPoint(logicalRect.width(), logicalRect.height());
    const QRect device(QPoint(ToDevicePixels(from.x(), dpr), ToDevicePixels(from.y(), dpr)),
                       QPoint(ToDevicePixels(to.x(), dpr) - 1, ToDevicePixels(to.y(), dpr) - 1));
    // Outside the picture QImage::copy gives zeros: black on a screen format.
    forms::Picture part = desktopPicture.copy(device);
    part.setDevicePixelRatio(dpr);
    return part;
}

} // namespace capture::portal

#include "PortalScreenGrab.moc"
