// DialogUnits.h - dialog template units to pixels.
#pragma once

#include <QFont>
#include <QSize>

// Dialog units of a template in font to pixels, as the dialog manager does it:
// the horizontal base unit is the average width of the letters A-Z and a-z,
// the vertical one the font's line height; x = dx * base / 4, y = dy * base / 8.
QSize DialogUnitsToPixels(const QFont& font, int dx, int dy);
