#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace forms {

// Lets window take a local file dragged from a file manager: a drag carrying one is
// accepted, and open runs with its path once the drop has finished, so a message about
// the file does not hold the drag source waiting.
void AcceptFileDrops(QWidget& window, std::function<void(const QString& path)> open);

} // namespace forms
