#include "forms/NoStoredSettings.h"

#include <QSettings>

namespace forms {

void StoreNoSettings()
{
    // A folder that can never exist: settings read there are empty, and writes fail
    // quietly without creating anything.
    const QString nowhere = QStringLiteral("/dev/null");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
}

} // namespace forms
