#pragma once

#include <QColor>
#include <QString>

namespace plotter {

// How vertex entry shows on the main window's plane and in its area label.
inline const QColor kVertexRed(192, 0, 0);
inline const QColor kClosedBlue(0, 0, 255);
inline const QColor kBandNormal(192, 0, 192);
inline const QColor kBandOnFirst(0, 0, 192);

// The area label reads exactly this while vertices are being entered.
inline const QString kAreaCaption = QStringLiteral("Area:");

} // namespace plotter
