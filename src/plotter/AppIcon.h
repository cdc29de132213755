#pragma once

#include <QIcon>
#include <QImage>

namespace plotter {

// The program's artwork: a small grid with a polygon on it, size x size pixels.
QImage AppIconImage(int size);

// The main window's icon: the artwork at 16 and 32 pixels.
QIcon AppIcon();

} // namespace plotter
