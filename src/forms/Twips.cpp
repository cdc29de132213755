#include "forms/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace forms {
namespace {

const QScreen* orPrimary(const QScreen* screen)
{
    return screen ? screen : QGuiApplication::primaryScreen();
}

double dpiX(const QScreen* screen)
{
    const QScreen* s = orPrimary(screen);
    return s ? s->logicalDotsPerInchX() : 96.0;
}

double dpiY(const QScreen* screen)
{
    const QScreen* s = orPrimary(screen);
    return s ? s->logicalDotsPerInchY() : 96.0;
}

} // namespace

double TwipsPerPixelX(const QScreen* screen)
{
    return kTwipsPerInch / dpiX(screen);
}
double TwipsPerPixelY(const QScreen* screen)
{
    return kTwipsPerInch / dpiY(screen);
}

double ScreenWidthTwips(const QScreen* screen)
{
    const QScreen* s = orPrimary(screen);
    return s ? s->geometry().width() * TwipsPerPixelX(s) : 0.0;
}

double ScreenHeightTwips(const QScreen* screen)
{
    const QScreen* s = orPrimary(screen);
    return s ? s->geometry().height() * TwipsPerPixelY(s) : 0.0;
}

int TwipsToPixelsX(double twips, const QScreen* screen)
{
    return static_cast<int>(std::lrint(twips / TwipsPerPixelX(screen)));
}

int TwipsToPixelsY(double twips, const QScreen* screen)
{
    return static_cast<int>(std::lrint(twips / TwipsPerPixelY(screen)));
}

} // namespace forms
