#pragma once

#include <QString>

namespace forms {

// The application title, shown by message boxes that give no title of their own.
inline const QString kAppTitle = QStringLiteral("Tavrin");

enum MsgBoxFlags : int {
    vbOKOnly = 0, // OK button, no icon
    vbInformation = 64, // information icon, OK button
};

// A modal message box over the active window; an empty title shows kAppTitle.
void MsgBox(const QString& prompt, int flags = vbOKOnly, const QString& title = QString());

} // namespace forms
