#pragma once

// What the viewer's tests share: real modal dialogs answered from a timer, and the
// program's own start: Qt's dialogs store nothing.

#include "ModalDialogs.h"

#include "forms/NoStoredSettings.h"

#include <QCoreApplication>

inline void storeNoSettingsAtStart()
{
    forms::StoreNoSettings();
}
Q_COREAPP_STARTUP_FUNCTION(storeNoSettingsAtStart)
