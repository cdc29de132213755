#pragma once

#include <QString>

class QDBusConnection;

namespace capture::portal {

// The desktop portal keeps the user's answer to "may programs take screenshots?" in its
// permission store, for all programs outside a sandbox at once.
enum class ScreenshotPermission {
    Unknown, // no store to ask, or it would not say
    NotAsked, // nothing stored: the portal asks the user first
    Allowed,
    Refused,
};

ScreenshotPermission StoredScreenshotPermission(const QDBusConnection& bus);

// A command that stores "allowed" again, for the user to run.
QString AllowScreenshotsCommand();

} // namespace capture::portal
