#pragma once

class QScreen;
class QWidget;

namespace forms {

// Window geometry in the original designs is measured in twips (1/1440 inch).
constexpr int kTwipsPerInch = 1440;

// Twips per logical pixel of the screen (15 at 96 dpi). Without a screen, 96 dpi is assumed.
double TwipsPerPixelX(const QScreen* screen = nullptr);
double TwipsPerPixelY(const QScreen* screen = nullptr);

// The screen's size in twips: its logical size times twips per pixel.
double ScreenWidthTwips(const QScreen* screen = nullptr);
double ScreenHeightTwips(const QScreen* screen = nullptr);

int TwipsToPixelsX(double twips, const QScreen* screen = nullptr);
int TwipsToPixelsY(double twips, const QScreen* screen = nullptr);

} // namespace forms
