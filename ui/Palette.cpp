// Palette.cpp - applies colour items to widget palettes.
#include "Palette.h"

#include <QWidget>

#include "DisplaySettings.h"

QColor ColorOf(uint32_t crColor) {
    return QColor(RedOf(crColor), GreenOf(crColor), BlueOf(crColor));
}

void ApplyColors(QWidget* widget, QPalette::ColorRole bgRole, uint32_t back,
                 QPalette::ColorRole fgRole, uint32_t text) {
    QPalette pal = widget->palette();
    // All groups alike: the colours must not change when the window loses focus.
    pal.setColor(bgRole, ColorOf(back));
    pal.setColor(fgRole, ColorOf(text));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}
