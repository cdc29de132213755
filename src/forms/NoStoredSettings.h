#pragma once

namespace forms {

// The program keeps no settings, but Qt's own dialogs write theirs (a file dialog's
// history, last folder and column widths) to the user's configuration folder whenever
// one closes. This sends every such write nowhere: call it once, before any dialog.
void StoreNoSettings();

} // namespace forms
