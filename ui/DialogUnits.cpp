// DialogUnits.cpp - dialog units from the metrics of the dialog's font.
#include "DialogUnits.h"

#include <QFontMetricsF>

#include <cmath>

QSize DialogUnitsToPixels(const QFont& font, int dx, int dy) {
    const QFontMetricsF fm(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = static_cast<int>(std::lround(fm.horizontalAdvance(letters) / 52.0));
    const int baseY = static_cast<int>(std::ceil(fm.height()));
    return QSize((dx * baseX + 2) / 4, (dy * baseY + 4) / 8);
}
