#pragma once

#include <QIcon>

namespace plotter {

// The main window's icon: a small grid with a polygon on it, drawn at 16 and 32 pixels.
QIcon AppIcon();

} // namespace plotter
