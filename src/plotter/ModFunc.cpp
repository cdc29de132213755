#include "plotter/ModFunc.h"

#include "forms/WindowFade.h"

namespace plotter {

void SetTransparency(QWidget& window, std::uint8_t Alpha)
{
    forms::FadeWindow(window, Alpha / 255.0);
}

} // namespace plotter
