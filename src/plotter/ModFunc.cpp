#include "plotter/ModFunc.h"

#include <QWidget>

namespace plotter {

void SetTransparency(QWidget& window, std::uint8_t Alpha)
{
    window.setWindowOpacity(Alpha / 255.0);
}

} // namespace plotter
