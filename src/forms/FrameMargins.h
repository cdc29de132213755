#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace forms {

// The frame the window manager will put around a top-level window that is not shown yet
// (empty where nothing frames windows); nullopt when that cannot be known before showing.
std::optional<QMargins> ExpectedFrameMargins(QWidget& window);

} // namespace forms
