#include "plotter/ModFunc.h"

#include "plotter/WindowFade.h"

namespace plotter {

void SetTransparency(QWidget& window, std::uint8_t Alpha)
{
    FadeWindow(window, Alpha / 255.0);
}

} // namespace plotter
